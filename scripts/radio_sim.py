#!/usr/bin/env python3
"""A Kenwood/Elecraft ASCII radio on a pseudo-terminal, for trying Korval without a radio.

  scripts/radio_sim.py --home ~/.local/share/korval --com 3

maps COM3 to the simulator in the home's COMPORTS.INI and answers the commands of the shipped
"Kenwood TS-590S" definition (FA, FB, MD, IF, SM0 and the set commands). With --configure the
home's SAVE/KORVAL.CFG (written by Korval at its first end) is set to that model on that port.
Lines typed on standard input change the radio: "f 7030000" (Hz), "m 3" (MD code: 1 LSB, 2 USB,
3 CW, 4 FM, 5 AM, 6 FSK), "s 15" (raw S meter, 0..30).
"""
import argparse
import os
import re
import select
import sys
import tty

CONFIG_SIZE = 8584
MODEL_OFFSET, MODEL_CAPACITY = 1068, 30
COM_OFFSET = 1103


def map_port(home, com, device):
    path = os.path.join(home, "COMPORTS.INI")
    lines = []
    if os.path.exists(path):
        with open(path) as f:
            lines = [l.rstrip("\n") for l in f if not re.match(r"\s*COM%d\s*=" % com, l, re.I)]
    if not any(l.strip().lower() == "[ports]" for l in lines):
        lines.insert(0, "[Ports]")
    lines.append("COM%d=%s" % (com, device))
    with open(path, "w") as f:
        f.write("\n".join(lines) + "\n")


def configure(home, com, model):
    path = os.path.join(home, "SAVE", "KORVAL.CFG")
    with open(path, "rb") as f:
        record = bytearray(f.read())
    if len(record) != CONFIG_SIZE:
        sys.exit("%s is not a Korval configuration (start and end Korval once first)" % path)
    name = model.encode("cp1252")[:MODEL_CAPACITY]
    record[MODEL_OFFSET] = len(name)
    record[MODEL_OFFSET + 1:MODEL_OFFSET + 1 + len(name)] = name
    record[COM_OFFSET] = com
    with open(path, "wb") as f:
        f.write(record)


class Radio:
    def __init__(self):
        self.fa, self.fb, self.mode, self.smeter = 14250000, 14250000, 2, 15
        self.split = False

    def answer(self, cmd):
        if cmd == "FA":
            return "FA%011d;" % self.fa
        if cmd == "FB":
            return "FB%011d;" % self.fb
        if cmd == "MD":
            return "MD%d;" % self.mode
        if cmd == "IF":
            return "IF%011d     +0000000000%d00%d0000;" % (self.fa, self.mode, 1 if self.split else 0)
        if cmd == "SM0":
            return "SM0%04d;" % self.smeter
        if re.fullmatch(r"FA\d{11}", cmd):
            self.fa = int(cmd[2:])
        elif re.fullmatch(r"FB\d{11}", cmd):
            self.fb = int(cmd[2:])
        elif re.fullmatch(r"MD\d", cmd):
            self.mode = int(cmd[2])
        elif cmd in ("FT0", "FT1"):
            self.split = cmd == "FT1"
        elif cmd == "VV":
            self.fb = self.fa
        return ""

    def command(self, line):
        words = line.split()
        if len(words) == 2 and words[0] in "fms" and words[1].isdigit():
            value = int(words[1])
            if words[0] == "f":
                self.fa = value
            elif words[0] == "m":
                self.mode = value
            else:
                self.smeter = value
        print("radio: %.3f kHz, MD%d, S %d" % (self.fa / 1000.0, self.mode, self.smeter), flush=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--home", required=True, help="the Korval home")
    parser.add_argument("--com", type=int, default=3, help="the COM number to map (default 3)")
    parser.add_argument("--configure", action="store_true", help="set the model and port in KORVAL.CFG")
    parser.add_argument("--model", default="Kenwood TS-590S")
    args = parser.parse_args()

    master, slave = os.openpty()
    tty.setraw(slave)
    device = os.ttyname(slave)
    map_port(args.home, args.com, device)
    if args.configure:
        configure(args.home, args.com, args.model)
    print("COM%d is %s" % (args.com, device), flush=True)

    radio, pending, typed = Radio(), "", ""
    stdin = sys.stdin.fileno()
    inputs = [master, stdin]
    while True:
        ready, _, _ = select.select(inputs, [], [])
        if stdin in ready:
            data = os.read(stdin, 512).decode("ascii", "replace")
            if not data:
                inputs.remove(stdin)
            typed += data
            while "\n" in typed:
                line, typed = typed.split("\n", 1)
                radio.command(line)
        if master in ready:
            pending += os.read(master, 512).decode("ascii", "replace")
            while ";" in pending:
                cmd, pending = pending.split(";", 1)
                reply = radio.answer(cmd.strip())
                if reply:
                    os.write(master, reply.encode("ascii"))


if __name__ == "__main__":
    main()
