#!/usr/bin/env python3
"""Writes the starting corpora of the fuzz targets whose inputs are texts or
simple byte streams (scanner replies, capability containers, settings file, translation file,
uninstall scripts and plans, command lines, string-table references).

    tools/fuzzing/make_text_corpora.py        # from the top of the repository

Each target's corpus goes to <folder>/fuzz/corpus/<target>/; running it
again rewrites the same files."""
import os
import struct

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))


def write(folder, target, name, data):
    path = os.path.join(ROOT, folder, "fuzz", "corpus", target)
    os.makedirs(path, exist_ok=True)
    if isinstance(data, str):
        data = data.encode("latin-1")
    with open(os.path.join(path, name), "wb") as out:
        out.write(data)


def data_block(payload):
    return b"\x00sd" + struct.pack("<H", len(payload)) + b"\x00\x00\x00" + payload


def status(code, detail):
    return b"\x00SS" + bytes([code, detail]) + b"\x00\x00\x00"


def scan_replies():
    target, folder = "scan_reply_fuzzer", "scansource/device"
    write(folder, target, "blocks-then-end", b"\x11\x01" + data_block(bytes(range(200))) + data_block(b"\xff" * 700) + status(ord("S"), 0))
    write(folder, target, "full-block-small-transfers", b"\x01\x01" + data_block(bytes(2047)) + status(0, 0))
    write(folder, target, "stop-requested", b"\x40\x00" + data_block(b"abc") + status(ord("A"), 0))
    write(folder, target, "jam", b"\x07\x01" + status(ord("J"), 1))
    write(folder, target, "over-long", b"\x02\x01" + b"\x00sd\x00\x08\x00\x00\x00")
    write(folder, target, "garbage", b"\x05\x00" + b"\x00xy\x01\x02\x03\x04\x05")


def capabilities():
    # Byte 0 picks the capability, byte 1 the container type, byte 2 the
    # message (bit 7: a TWAIN 1.5 application); the rest is the container.
    target, folder = "capability_set_fuzzer", "scansource/twain"
    write(folder, target, "onevalue-uint16", bytes([0, 1, 0]) + struct.pack("<HI", 4, 2))
    write(folder, target, "enumeration-uint16", bytes([3, 2, 0]) + struct.pack("<HIII", 4, 2, 0, 0) + struct.pack("<HH", 1, 2))
    write(folder, target, "onevalue-fix32", bytes([7, 1, 0]) + struct.pack("<HhH", 7, 300, 0))
    write(folder, target, "range", bytes([9, 3, 0]) + struct.pack("<HIIIII", 7, 1 << 16, 100 << 16, 1 << 16, 0, 0))
    write(folder, target, "frame", bytes([12, 1, 0]) + struct.pack("<H", 8) + struct.pack("<hHhHhHhH", 0, 0, 0, 0, 8, 0xFD70, 11, 0))
    write(folder, target, "str32-for-uint16", bytes([0, 1, 0]) + struct.pack("<H", 12) + b"text".ljust(34, b"\0"))
    write(folder, target, "reset-tw15", bytes([5, 1, 0x84]))


def settings():
    target, folder = "settings_file_fuzzer", "scansource/twain"
    write(folder, target, "saved", "[Settings]\nResolution=300\nPixelType=1\nBrightness=-10\nContrast=5\n"
          "Highlight=255\nThreshold=127\nShadow=0\nGamma=1.0000003.1\nPaperSize=1\nFirstTime=FALSE\n")
    write(folder, target, "custom-frame", "[Settings]\nPaperSize=0\ncustom-left=4800\ncustom-top=2400\n"
          "custom-right=40800\ncustom-bottom=67200\n")
    write(folder, target, "out-of-range", "[Settings]\nResolution=2400\nPixelType=7\nBrightness=999\n"
          "Gamma=nan\nPaperSize=-3\nThreshold=-1\ncustom-left=99999999999\n")
    write(folder, target, "inverted-frame", "[Settings]\nPaperSize=0\ncustom-left=30000\ncustom-right=100\n")


def translations():
    target, folder = "translation_file_fuzzer", "support/zvp4d"
    write(folder, target, "two-locales", "\ufeff# texts\n[en-US]\nIDS_SCAN = Scan\nIDS_TWO = line one\\nline two\n"
          "[fr-FR]\nIDS_SCAN = Numériser\nIDS_PAD = \\s padded \\s\n".encode("utf-8"))
    write(folder, target, "crlf-and-escapes", "[de_DE]\r\nA=tab\\there\r\nB = back\\\\slash \\q\r\n; note\r\n")
    write(folder, target, "no-section", "KEY = before any section\n[]\n=empty key\n")


SCRIPT = """; uninstall script of the printer driver
[UnPrinterMfgs]
"ARVEL",MFG,1

[UnPrinterDrivers]
"ARVEL Vivaro 5320MF",V5320,2
"ARVEL Vivaro 5310MF",V5310,3

[CommandlineParam]
NOPICK=0

[UnScannerDriver]
UninstallScanner=1
ProductGUID="{11111111-2222-3333-4444-555555555555}"

[Unz_CatchAll]
"ARVEL Common",COMMON,5

[Unx_Ignore]
"Generic Text Only",IGNORE,6

[V5320.Files]
ZV5320.DLL
ZV5320UI.DLL   = 1   ; the user interface
[V5320.Monitors]
Vivaro Language Monitor
[V5320.RegistryKeys]
HKLM,"SOFTWARE\\ARVEL NORVANE\\V5320","",1
[V5310.DeleteLoadRun]
VivaroStatus,ZSTAT.EXE
[MFG.Services]
ArvelSpoolHelper
[MFG.Shortcuts]
ARVEL NORVANE,Vivaro Status Monitor,17
[COMMON.DeleteIni]
WIN.INI,Vivaro,Installed
"""

MASKING = """[UnPrinterMfgs]
"Veneer",VEN,1
[VEN.Files]
VENEER32.EXE
"""

PRINTERS = ("Office\tARVEL Vivaro 5320MF\t\t\td\n"
            "Lab\tARVEL Vivaro 5310MF\t\tPRINTSRV\to\n"
            "Office (masked)\tVeneer\tOffice\t\t\n"
            "Guest\tOther Vendor Drv\t\t\t\n")


def scripts():
    folder = "uninstaller/scripts"
    write(folder, "script_reader_fuzzer", "driver-script", SCRIPT)
    write(folder, "script_reader_fuzzer", "odd-lines", "key before section\n[A]\n indented=ignored\n=no key\n"
          "k = v ; remark\nk=second\n[a]\nshadowed=1\r\r\n[" + "L" * 300 + "]\nlong=1\n")
    write(folder, "removal_plan_fuzzer", "full", "/MFG:ARVEL\n%%\n" + PRINTERS + "\n%%\n" + SCRIPT)
    write(folder, "removal_plan_fuzzer", "masking-tool", "/UNVEN /PRN:\"ARVEL Vivaro 5320MF\"\n%%\n" + PRINTERS
          + "\n%%\n" + SCRIPT + "\n%%\n" + MASKING)
    write(folder, "removal_plan_fuzzer", "no-printers", "\n%%\n\n%%\n" + SCRIPT)


def frame():
    folder = "uninstaller/frame"
    write(folder, "command_line_fuzzer", "switches", 'uninst.exe /PRN:"Drv A","Drv B" -MFG:Arvel /NOPICK /UNVEN')
    write(folder, "command_line_fuzzer", "quotes", '"C:\\Program Files\\u.exe" /PRN:"a,b",c, -x:"unterminated')
    write(folder, "string_table_fuzzer", "reference", "@setup.ini@Texts@Title" + "Line one\\nline two")
    write(folder, "string_table_fuzzer", "plain", "Désinstallation terminée.plain text")
    write(folder, "string_table_fuzzer", "malformed", "@only@two" + "value")


if __name__ == "__main__":
    scan_replies()
    capabilities()
    settings()
    translations()
    scripts()
    frame()
