#!/usr/bin/env python3
"""Checks a release build of Pallimo.exe without running it.

  check_exe.py Pallimo.exe [--version TEXT NUMBER] [--post-xp LIST] [--print]

It reads the PE headers and checks that:
  - the subsystem version asks for Windows 5.1 (XP) at most;
  - every imported DLL is one of Windows' own;
  - no imported function is on the list of functions XP lacks;
  - the version record holds the product's names and, with --version, the version given,
    as TEXT (major.minor, minor in two digits) and as NUMBER (major.minor.patch).
With --print it also prints the size, the subsystem version and the imports.
Exit status 0 when every check passes; each failure is printed.
"""
import struct
import sys

SYSTEM_DLLS = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "shell32.dll", "comctl32.dll",
    "advapi32.dll", "msvcrt.dll", "ole32.dll", "oleaut32.dll", "comdlg32.dll",
    "shlwapi.dll", "ntdll.dll", "version.dll", "uxtheme.dll", "winmm.dll", "imm32.dll",
}

EXPECTED_VERSION = {
    "ProductName": "Pallimo",
    "InternalName": "Pallimo",
    "CompanyName": "Orlaquin",
}
EXPECTED_TRANSLATION = (0x0409, 1252)


class Pe:
    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise ValueError("not an MZ executable")
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("no PE signature")
        self.machine, nsect, _, _, _, optsize, _ = struct.unpack_from("<HHIIIHH", data, pe + 4)
        opt = pe + 24
        self.magic = struct.unpack_from("<H", data, opt)[0]
        if self.magic != 0x10B:
            raise ValueError("not a 32-bit (PE32) image")
        self.major_os, self.minor_os = struct.unpack_from("<HH", data, opt + 40)
        self.major_sub, self.minor_sub = struct.unpack_from("<HH", data, opt + 48)
        self.subsystem = struct.unpack_from("<H", data, opt + 68)[0]
        ndirs = struct.unpack_from("<I", data, opt + 92)[0]
        self.dirs = [struct.unpack_from("<II", data, opt + 96 + 8 * i) for i in range(ndirs)]
        self.sections = []
        sect = opt + optsize
        for i in range(nsect):
            name, vsize, va, rawsize, rawptr = struct.unpack_from("<8sIIII", data, sect + 40 * i)
            self.sections.append((va, max(vsize, rawsize), rawptr))

    def off(self, rva):
        for va, size, raw in self.sections:
            if va <= rva < va + size:
                return rva - va + raw
        raise ValueError("address %#x is in no section" % rva)

    def cstr(self, rva):
        o = self.off(rva)
        return self.data[o:self.data.index(b"\0", o)].decode("ascii", "replace")

    def imports(self):
        rva, size = self.dirs[1] if len(self.dirs) > 1 else (0, 0)
        result = {}
        if not rva:
            return result
        o = self.off(rva)
        while True:
            ilt, _, _, name, iat = struct.unpack_from("<IIIII", self.data, o)
            if not name:
                break
            dll = self.cstr(name)
            funcs = []
            t = self.off(ilt or iat)
            while True:
                entry = struct.unpack_from("<I", self.data, t)[0]
                if not entry:
                    break
                if entry & 0x80000000:
                    funcs.append("#%d" % (entry & 0xFFFF))
                else:
                    funcs.append(self.cstr(entry + 2))
                t += 4
            result.setdefault(dll, []).extend(funcs)
            o += 20
        return result

    def version_resource(self):
        rva, size = self.dirs[2] if len(self.dirs) > 2 else (0, 0)
        if not rva:
            return None
        base = self.off(rva)

        def entries(dir_off):
            n_named, n_id = struct.unpack_from("<HH", self.data, dir_off + 12)
            for i in range(n_named + n_id):
                ident, target = struct.unpack_from("<II", self.data, dir_off + 16 + 8 * i)
                yield ident, target

        for ident, target in entries(base):
            if ident != 16 or not target & 0x80000000:
                continue
            for _, t2 in entries(base + (target & 0x7FFFFFFF)):
                for _, t3 in entries(base + (t2 & 0x7FFFFFFF)):
                    data_rva, data_size = struct.unpack_from("<II", self.data, base + t3)
                    o = self.off(data_rva)
                    return self.data[o:o + data_size]
        return None


def parse_version(blob):
    """Returns (fixed file version tuple, {string: value}, [translations])."""
    def align(x):
        return (x + 3) & ~3

    def node(o):
        length, vlen, vtype = struct.unpack_from("<HHH", blob, o)
        k = o + 6
        end = k
        while blob[end:end + 2] != b"\0\0":
            end += 2
        key = blob[k:end].decode("utf-16-le")
        value = align(end + 2)
        return length, vlen, vtype, key, value

    fixed = None
    strings = {}
    translations = []
    length, vlen, _, key, value = node(0)
    if key != "VS_VERSION_INFO":
        raise ValueError("no VS_VERSION_INFO")
    if vlen >= 52:
        sig, _, ms, ls = struct.unpack_from("<IIII", blob, value)
        if sig == 0xFEEF04BD:
            fixed = (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)
    child = align(value + vlen)
    while child < length:
        clen, _, _, ckey, cval = node(child)
        if clen == 0:
            break
        if ckey == "StringFileInfo":
            table = cval
            while table < child + clen:
                tlen, _, _, tkey, tval = node(table)
                s = tval
                while s < table + tlen:
                    slen, svlen, _, skey, sval = node(s)
                    if slen == 0:
                        break
                    text = blob[sval:sval + 2 * svlen].decode("utf-16-le").rstrip("\0")
                    strings[skey] = text
                    strings.setdefault("_table", tkey)
                    s = align(s + slen)
                table = align(table + tlen)
        elif ckey == "VarFileInfo":
            vlen2, vvlen, _, vkey, vval = node(cval)
            for i in range(0, vvlen, 4):
                translations.append(struct.unpack_from("<HH", blob, vval + i))
        child = align(child + clen)
    return fixed, strings, translations


def main(argv):
    if len(argv) < 2:
        print(__doc__)
        return 2
    path = argv[1]
    post_xp_path = None
    show = "--print" in argv
    if "--post-xp" in argv:
        post_xp_path = argv[argv.index("--post-xp") + 1]
    expected_strings = dict(EXPECTED_VERSION)
    expected_fixed = None
    if "--version" in argv:
        version_text, version_number = argv[argv.index("--version") + 1:argv.index("--version") + 3]
        expected_strings.update(FileVersion=version_text, ProductVersion=version_text)
        expected_fixed = tuple((list(map(int, version_number.split("."))) + [0, 0, 0, 0])[:4])
    data = open(path, "rb").read()
    pe = Pe(data)
    failures = []

    if (pe.major_sub, pe.minor_sub) > (5, 1):
        failures.append("subsystem version %d.%d asks for more than Windows XP (5.1)"
                        % (pe.major_sub, pe.minor_sub))
    if pe.subsystem != 2:
        failures.append("subsystem %d is not the Windows GUI (2)" % pe.subsystem)

    imports = pe.imports()
    for dll in imports:
        if dll.lower() not in SYSTEM_DLLS:
            failures.append("imports %s, which is not a Windows system DLL" % dll)
    if post_xp_path:
        banned = set()
        for line in open(post_xp_path):
            line = line.split("#", 1)[0].strip()
            if line:
                banned.add(line)
        for dll, funcs in imports.items():
            for f in funcs:
                if f in banned:
                    failures.append("imports %s!%s, which Windows XP lacks" % (dll, f))

    blob = pe.version_resource()
    if blob is None:
        failures.append("no version record")
    else:
        fixed, strings, translations = parse_version(blob)
        for key, want in expected_strings.items():
            if strings.get(key) != want:
                failures.append("version record %s is %r, not %r" % (key, strings.get(key), want))
        if expected_fixed is not None and fixed != expected_fixed:
            failures.append("numeric file version is %r, not %r" % (fixed, expected_fixed))
        if EXPECTED_TRANSLATION not in translations:
            failures.append("version record is not U.S. English (translations %r)" % translations)
        if show:
            print("version record: %s %s" % (fixed, {k: v for k, v in strings.items()}))

    if show:
        print("size: %d bytes (%.1f KB)" % (len(data), len(data) / 1024.0))
        print("subsystem %d, subsystem version: %d.%d, OS version: %d.%d" %
              (pe.subsystem, pe.major_sub, pe.minor_sub, pe.major_os, pe.minor_os))
        for dll, funcs in sorted(imports.items()):
            print("imports %s: %d functions" % (dll, len(funcs)))
        print("imports %d functions from %d DLLs" %
              (sum(len(f) for f in imports.values()), len(imports)))
    for f in failures:
        print("FAIL: " + f)
    if not failures:
        print("%s: all checks passed" % path)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
