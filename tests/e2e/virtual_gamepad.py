#!/usr/bin/python3
"""A gamepad made through uinput, as a switch interface that is a game
controller presents itself: plugged in when this starts, unplugged when it
ends.

    virtual_gamepad.py NAME

Answers one line on standard output: "ready /dev/input/eventN", or
"unreadable" when the new device cannot be read by this user, or
"error TEXT". Then reads commands, one a line, and answers "done" to each:

    press BTN_SOUTH
    release BTN_SOUTH

End of input unplugs the gamepad.
"""

import glob
import os
import sys
import time


def answer(text):
    print(text, flush=True)


def event_node(name):
    """The node of the input device of this name, once it can be read: udev
    may hand it to the user a moment after it appears."""
    waited = 0.0
    node = None
    while waited < 3.0:
        for device in glob.glob("/sys/class/input/event*"):
            try:
                with open(os.path.join(device, "device", "name")) as text:
                    if text.read().strip() != name:
                        continue
            except OSError:
                continue
            node = os.path.join("/dev/input", os.path.basename(device))
            if os.access(node, os.R_OK):
                return node, True
        time.sleep(0.05)
        waited += 0.05
    return node, False


def main():
    if len(sys.argv) != 2:
        answer("error usage: virtual_gamepad.py NAME")
        return 2
    try:
        from evdev import AbsInfo, UInput, ecodes
    except ImportError as error:
        answer(f"error python3-evdev is missing: {error}")
        return 1

    stick = AbsInfo(value=0, min=-32768, max=32767, fuzz=16, flat=128, resolution=0)
    trigger = AbsInfo(value=0, min=0, max=255, fuzz=0, flat=0, resolution=0)
    hat = AbsInfo(value=0, min=-1, max=1, fuzz=0, flat=0, resolution=0)
    # What the kernel's gamepad layout names: BTN_SOUTH is A. With BTN_GAMEPAD
    # and the X and Y axes SDL counts it a joystick and maps it as a game
    # controller from these codes, without any entry in its database.
    capabilities = {
        ecodes.EV_KEY: [
            ecodes.BTN_SOUTH, ecodes.BTN_EAST, ecodes.BTN_NORTH, ecodes.BTN_WEST,
            ecodes.BTN_TL, ecodes.BTN_TR, ecodes.BTN_SELECT, ecodes.BTN_START,
            ecodes.BTN_MODE, ecodes.BTN_THUMBL, ecodes.BTN_THUMBR,
        ],
        ecodes.EV_ABS: [
            (ecodes.ABS_X, stick), (ecodes.ABS_Y, stick),
            (ecodes.ABS_RX, stick), (ecodes.ABS_RY, stick),
            (ecodes.ABS_Z, trigger), (ecodes.ABS_RZ, trigger),
            (ecodes.ABS_HAT0X, hat), (ecodes.ABS_HAT0Y, hat),
        ],
    }
    try:
        # pid.codes' vendor id: no driver of SDL's own claims the device.
        pad = UInput(capabilities, name=sys.argv[1], vendor=0x1209, product=0x0001,
                     version=0x0111, bustype=ecodes.BUS_USB)
    except Exception as error:  # UInputError, or OSError from the kernel
        answer(f"error {error}")
        return 1

    with pad:
        node, readable = event_node(sys.argv[1])
        if node is None:
            answer("error the new device has no event node")
            return 1
        answer(f"ready {node}" if readable else "unreadable")
        for line in sys.stdin:
            words = line.split()
            if len(words) != 2 or words[0] not in ("press", "release") or words[1] not in ecodes.ecodes:
                answer(f"error unknown command: {line.strip()}")
                continue
            pad.write(ecodes.EV_KEY, ecodes.ecodes[words[1]], 1 if words[0] == "press" else 0)
            pad.syn()
            answer("done")
    return 0


if __name__ == "__main__":
    sys.exit(main())
