#pragma once

#include <QString>
#include <QStringList>

// Whether the controllers plugged in can be read, found without SDL: the
// kernel lists every input device under /sys/class/input, and a device whose
// keys include joystick or gamepad buttons is a controller. Its node under
// /dev/input must open for reading; on most systems that takes the group
// "input", or a desktop session that hands the device to its user. The roots
// are parameters so that tests can use folders of their own.
namespace ControllerAccess {

// The event nodes of the controllers plugged in that this process may not
// open for reading ("/dev/input/event5"). A node that does not exist (a
// container that sees the host's devices) is not counted.
QStringList unreadableControllers(
    const QString &sysRoot = QStringLiteral("/sys"), const QString &devRoot = QStringLiteral("/dev"));

// What to tell the teacher, in Italian; empty when every controller can be read.
QString permissionProblem(
    const QString &sysRoot = QStringLiteral("/sys"), const QString &devRoot = QStringLiteral("/dev"));

// Whether a key bitmap as sysfs writes it (hexadecimal words, the highest
// first: "7cdb000000000000 0 0 0 0") has a joystick or gamepad button.
bool hasControllerButton(const QString &keyBitmap);

} // namespace ControllerAccess
