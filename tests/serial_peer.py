#!/usr/bin/env python3
"""The far end of a serial line for the port tests: a modem-like peer.

It reads commands ending in a carriage return from the device given and
answers each one; a command it does not know comes back as it was, followed
by CR LF. It stops at BYE, at the end of its input, or after a minute.

  AT      "xyOK"                    (two other bytes, then OK)
  QUEUE   "ready:xyOK"              (in one write, so all of it is there at once)
  ATZ     "OK\r\n"                  (OK at once)
  ATE     "xyERROR"
  NEAR    "zOK"                     (OK behind one byte, nothing after it)
  LINES   "first\r\nsec\nond\r\n"   (lines with CR LF, one with LF alone)
  ENDSCR, ENDSLF, ENDSCRLF  "third" and "fourth", each ended by CR, LF or CR LF
  NOISE   "garbage"                 (no line end at all)
  SLOW    "OK" half a second later
"""
import os
import sys
import time

REPLIES = {
    b"AT": b"xyOK",
    b"QUEUE": b"ready:xyOK",
    b"ATZ": b"OK\r\n",
    b"ATE": b"xyERROR",
    b"NEAR": b"zOK",
    b"LINES": b"first\r\nsec\nond\r\n",
    b"NOISE": b"garbage",
    b"ENDSCR": b"third\rfourth\r",
    b"ENDSLF": b"third\nfourth\n",
    b"ENDSCRLF": b"third\r\nfourth\r\n",
}
LIFETIME = 60.0


def main():
    fd = os.open(sys.argv[1], os.O_RDWR | os.O_NOCTTY)
    deadline = time.monotonic() + LIFETIME
    command = b""
    while time.monotonic() < deadline:
        try:
            data = os.read(fd, 256)
        except OSError:
            return 0
        if not data:
            return 0
        for byte in data:
            if byte != 13:
                command += bytes([byte])
                continue
            if command == b"BYE":
                return 0
            if command == b"SLOW":
                time.sleep(0.5)
                os.write(fd, b"OK")
            else:
                os.write(fd, REPLIES.get(command, command + b"\r\n"))
            command = b""
    return 0


if __name__ == "__main__":
    sys.exit(main())
