#include "scanlog.h"

Q_LOGGING_CATEGORY(lcScanning, "velmora.scanning", QtInfoMsg)
