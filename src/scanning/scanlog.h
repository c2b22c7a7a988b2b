#pragma once

#include <QLoggingCategory>

// What the scan highlights and selects, for following a switch user's
// session: QT_LOGGING_RULES="velmora.scanning.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcScanning)
