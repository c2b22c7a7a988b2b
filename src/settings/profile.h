#pragma once

#include "state/profilesettings.h"

#include <QByteArray>
#include <QString>

#include <optional>

// The profile file: 24 values, one a line, in a fixed order; position alone
// gives meaning. Read field by field, so a one-line comma-separated file
// reads the same.
namespace Profile {

QByteArray serialize(const ProfileSettings &settings);

// The whole file or nothing: a short file, an integer out of range or any
// other fault gives no value.
std::optional<ProfileSettings> parse(const QString &text);

} // namespace Profile

// Operations on the program-wide settings and ProfilePath.
void ImpostazioniPredefinite();

// A missing, short or damaged file gives every default; never an error.
void CaricaImpostazioni();

// Replaces the file at ProfilePath without ever destroying the old one: on
// failure the old profile stays as it was and error says why, in Italian.
bool SalvaImpostazioni(QString *error = nullptr);
