#!/usr/bin/env python3
"""Writes the zip archives that seed the package-unpack and ad-logo fuzz targets.

The archives are committed under fuzz/corpus/package_unpack/ and fuzz/corpus/ad_logo/; run this script
again (python3 fuzz/seeds/make_archives.py) after changing it. Every archive is made with Python's
zipfile (the real zip layout: local headers, central directory, end record, zip64 and data descriptors
where asked for), then some are damaged by patching bytes where a downloaded package could be damaged:
declared sizes, checksums, flags, methods, offsets, names, and cuts. Time stamps are fixed, so the same
script gives the same bytes. Each archive stays a few kilobytes, so the fuzzer's inputs stay small.
"""

import io
import os
import struct
import sys
import warnings
import zipfile

STAMP = (2024, 5, 17, 12, 30, 0)
HERE = os.path.dirname(os.path.abspath(__file__))
CORPUS = os.path.join(os.path.dirname(HERE), "corpus")

LOCAL = b"PK\x03\x04"
CENTRAL = b"PK\x01\x02"
END = b"PK\x05\x06"


def info(name, method=zipfile.ZIP_DEFLATED, mode=None, comment=b"", extra=b""):
    entry = zipfile.ZipInfo(name, date_time=STAMP)
    entry.compress_type = method
    entry.create_system = 3
    entry.external_attr = ((mode if mode is not None else (0o40755 if name.endswith("/") else 0o100644)) << 16)
    if name.endswith("/"):
        entry.external_attr |= 0x10
    entry.comment = comment
    entry.extra = extra
    return entry


def archive(entries, comment=b"", zip64=False):
    """entries: (name, bytes) or (ZipInfo, bytes); a name ending in "/" is a folder."""
    out = io.BytesIO()
    with zipfile.ZipFile(out, "w") as zf:
        zf.comment = comment
        for name, data in entries:
            entry = name if isinstance(name, zipfile.ZipInfo) else info(name)
            if zip64:
                with zf.open(entry, "w", force_zip64=True) as stream:
                    stream.write(data)
            else:
                zf.writestr(entry, data)
    return bytearray(out.getvalue())


class Unseekable(io.RawIOBase):
    """A stream zipfile cannot seek back in, so it writes data descriptors after each entry."""

    def __init__(self):
        self.buffer = bytearray()

    def writable(self):
        return True

    def write(self, data):
        self.buffer += data
        return len(data)


def streamed(entries):
    sink = Unseekable()
    with zipfile.ZipFile(sink, "w") as zf:
        for name, data in entries:
            with zf.open(info(name), "w") as stream:
                stream.write(data)
    return bytearray(sink.buffer)


def central_records(data):
    """Offsets of the central directory records, in order."""
    end = data.rfind(END)
    count, size, start = struct.unpack_from("<HII", data, end + 10)
    records = []
    at = start
    for _ in range(count):
        assert data[at:at + 4] == CENTRAL
        records.append(at)
        name_len, extra_len, comment_len = struct.unpack_from("<HHH", data, at + 28)
        at += 46 + name_len + extra_len + comment_len
    return records


def local_of(data, record):
    return struct.unpack_from("<I", data, record + 42)[0]


def patch(data, offset, fmt, value):
    struct.pack_into(fmt, data, offset, value)
    return data


def set_both(data, index, local_field, central_field, fmt, value):
    """Sets a field in the local header and the central record of entry `index`."""
    record = central_records(data)[index]
    patch(data, local_of(data, record) + local_field, fmt, value)
    patch(data, record + central_field, fmt, value)
    return data


def cut_entry_data(data, index, keep):
    """Keeps only `keep` bytes of entry `index`'s stored data and shifts the rest, fixing every offset
    after it, so the directory stays readable and only the entry's data is short."""
    records = central_records(data)
    record = records[index]
    local = local_of(data, record)
    name_len, extra_len = struct.unpack_from("<HH", data, local + 26)
    begin = local + 30 + name_len + extra_len
    size = struct.unpack_from("<I", data, record + 20)[0]
    removed = size - keep
    out = bytearray(data[:begin + keep] + data[begin + size:])
    end = out.rfind(END)
    cd_start = struct.unpack_from("<I", out, end + 16)[0]
    patch(out, end + 16, "<I", cd_start - removed)
    for rec in central_records(out):
        offset = local_of(out, rec)
        if offset > local:
            patch(out, rec + 42, "<I", offset - removed)
    return out


def replace_name_byte(data, old, new):
    """Replaces one byte in every copy of the names (local and central)."""
    return bytearray(data.replace(old, new))


def package_seeds():
    page = b"<html><body><h1>Quarrytide</h1><p>Dig deeper for gold.</p></body></html>\n"
    picture = bytes(range(256)) * 2
    seeds = {}

    seeds["stored"] = archive([(info("index.html", zipfile.ZIP_STORED), page),
                               (info("img/logo.png", zipfile.ZIP_STORED), picture)])
    seeds["deflated"] = archive([("index.html", page * 4), ("style.css", b"body { color: #c8a040; }\n" * 8),
                                 ("img/logo.png", picture)])
    seeds["folders"] = archive([("img/", b""), ("img/sub/", b""), ("img/sub/a.txt", b"a"),
                                ("a/b/c/d.txt", b"deep, without folder entries"), ("win\\dir\\", b""),
                                ("win\\file.txt", b"backslashes"), ("index.html", page)])
    seeds["unsafe_names"] = archive([("../up.txt", b"x"), ("a/../../up.txt", b"x"), ("/abs.txt", b"x"),
                                     ("\\abs.txt", b"x"), ("C:drive.txt", b"x"), ("./dot.txt", b"x"),
                                     ("a//b.txt", b"x"), ("a/./b.txt", b"x"), ("..", b"x"), ("../", b""),
                                     ("ok/..\\..\\win.txt", b"x"), ("index.html", page)])
    seeds["long_names"] = archive([("n" * 300 + ".txt", b"cut at the name buffer"),
                                   ("m" * 255, b"just fits"), ("d/" * 90 + "f.txt", b"deep"),
                                   ("x" * 250 + "/../../escape.txt", b"the cut hides the way out"),
                                   ("index.html", page)])
    # A name with a zero byte in it, in the local header and the central directory.
    seeds["zero_in_name"] = replace_name_byte(archive([("abc#def.txt", b"zero"), ("index.html", page)]),
                                              b"abc#def", b"abc\x00def")
    # Declared sizes that do not match the data: smaller and larger uncompressed sizes, and a stored
    # entry whose compressed size reaches into the next header.
    smaller = archive([("index.html", page * 8), ("b.txt", b"second")])
    seeds["size_smaller"] = set_both(smaller, 0, 22, 24, "<I", 10)
    larger = archive([("index.html", page), ("b.txt", b"second")])
    seeds["size_larger"] = set_both(larger, 0, 22, 24, "<I", 1 << 30)
    stored = archive([(info("a.txt", zipfile.ZIP_STORED), b"short"), (info("index.html", zipfile.ZIP_STORED), page)])
    seeds["stored_size_overrun"] = set_both(set_both(stored, 0, 18, 20, "<I", 60), 0, 22, 24, "<I", 60)
    seeds["crc_wrong"] = set_both(archive([("index.html", page), ("c.txt", b"checked")]), 0, 14, 16, "<I",
                                  0xDEADBEEF)
    # Entry data cut short while the directory stays whole, and plain cuts of the file.
    whole = archive([("index.html", page * 6), ("img/logo.png", picture), ("z.txt", b"last")])
    seeds["entry_cut"] = cut_entry_data(whole, 0, 20)
    seeds["truncated_half"] = whole[:len(whole) // 2]
    seeds["truncated_end_record"] = whole[:-10]
    seeds["truncated_directory"] = whole[:central_records(whole)[1] + 20]
    # Flags and methods the unpacker cannot honour: encryption, an unknown method.
    seeds["encrypted_flag"] = set_both(archive([("secret.txt", b"hidden"), ("index.html", page)]), 0, 6, 8, "<H",
                                       0x0001)
    seeds["unknown_method"] = set_both(archive([("index.html", page), ("after.txt", b"after")]), 0, 8, 10, "<H", 12)
    # A local header whose name differs from the directory's, and a directory that points into data.
    renamed = archive([("index.html", page), ("b.txt", b"b")])
    local = local_of(renamed, central_records(renamed)[0])
    seeds["local_name_differs"] = patch(renamed, local + 30, "<B", ord("X"))
    pointed = archive([("index.html", page), ("b.txt", b"b")])
    seeds["offset_wrong"] = patch(pointed, central_records(pointed)[1] + 42, "<I", 7)
    counted = archive([("index.html", page), ("b.txt", b"b")])
    end = counted.rfind(END)
    seeds["count_wrong"] = patch(patch(counted, end + 8, "<H", 9), end + 10, "<H", 9)
    seeds["zip64"] = archive([("index.html", page), ("img/logo.png", picture)], zip64=True)
    seeds["data_descriptor"] = streamed([("index.html", page * 3), ("notes.txt", b"sizes after the data")])
    # Over the fuzz target's caps: one entry above 1 MiB, then a total above 4 MiB.
    seeds["over_caps"] = archive([("big.bin", bytes(1536 * 1024)), ("index.html", page)] +
                                 [("part%d.bin" % i, bytes(1000 * 1024)) for i in range(5)])
    # Names that meet: a file where a folder is wanted, a folder where a file is wanted, the same name
    # twice, and an entry marked as a symbolic link.
    seeds["names_meet"] = archive([("a", b"file"), ("a/b.txt", b"under a file"), ("c/", b""), ("c", b"over a folder"),
                                   ("index.html", b"first"), ("index.html", page),
                                   (info("link", mode=0o120777), b"/etc"), ("link/x.txt", b"through the link")])
    seeds["comments_extra"] = archive([(info("index.html", comment=b"entry comment",
                                             extra=struct.pack("<HH4s", 0xCAFE, 4, b"junk")), page)],
                                      comment=b"archive comment " * 8)
    seeds["empty"] = archive([])
    seeds["prefixed"] = bytearray(b"#!/bin/sh\nexit 0\n" * 4) + archive([("index.html", page)])
    return seeds


def logo_seeds():
    jpeg = bytes.fromhex("ffd8ffe000104a46494600010100000100010000ffd9")
    about = b"Quarrytide is brought to you by our partners.\r\nVisit us online.\r\n"
    seeds = {}
    seeds["logo_and_text"] = archive([("partner.jpg", jpeg), ("about.txt", about)])
    seeds["named_logo_long_text"] = archive([("LOGO.JPG", jpeg), ("Info.TXT", b"t" * 400)])
    seeds["already_logo"] = archive([(info("logo.jpg", zipfile.ZIP_STORED), jpeg), ("a.txt", about)])
    seeds["text_without_picture"] = archive([("about.txt", about), ("logo.png", b"not a jpeg name")])
    seeds["in_folders"] = archive([("pics/", b""), ("pics/logo.jpg", jpeg), ("text/about.txt", about),
                                   ("x.jpg/", b""), ("y.txt/", b""), ("second.jpg", jpeg)])
    seeds["empty_files"] = archive([("empty.jpg", b""), ("empty.txt", b"")])
    seeds["unsafe"] = archive([("../logo.jpg", jpeg), ("/tmp/about.txt", about), ("ok.jpg", jpeg)])
    return seeds


def write(folder, seeds):
    os.makedirs(folder, exist_ok=True)
    for name, data in seeds.items():
        with open(os.path.join(folder, name + ".zip"), "wb") as out:
            out.write(bytes(data))


def main():
    # The same name twice is one of the cases.
    warnings.filterwarnings("ignore", "Duplicate name")
    write(os.path.join(CORPUS, "package_unpack"), package_seeds())
    write(os.path.join(CORPUS, "ad_logo"), logo_seeds())
    return 0


if __name__ == "__main__":
    sys.exit(main())
