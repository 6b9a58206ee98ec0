#!/usr/bin/env python3
"""Builds the harnesses' seed corpora (scripts/fuzz runs this).

    make_seeds.py CORPUS_ROOT SOURCE_ROOT [ANCHORS_DIR]

Reads the fixture images (SOURCE_ROOT/tests/data/*.img.gz) and, when given,
the reference images of ANCHORS_DIR, and writes into CORPUS_ROOT/NAME/ for
each harness NAME: whole volumes (their first MiBs) for whole_volume, boot
sectors and the start of each disk, MFT records, run lists and directory
clusters cut out of them, and crafted inputs (boot sectors of every kind, a
GPT disk, a small FAT tree, LZNT1 chunks, settings files, entry values).
Seed names are stable, so a rerun overwrites instead of adding.
"""
import glob
import gzip
import hashlib
import os
import struct
import sys
import zlib

SECTOR = 512
WHOLE_VOLUME_BYTES = 4 << 20   # the whole-volume harness pads to this much
BOOT_BYTES = 64 << 10          # the boot-sector harness's inputs
MFT_CHUNK_RECORDS = 16
FAT_HARNESS_BYTES = 64 << 10   # the FAT harness's volume, its boot sector included


class Corpus:
    def __init__(self, root):
        self.root = root
        self.counts = {}

    def add(self, harness, name, data):
        if not data:
            return
        folder = os.path.join(self.root, harness)
        os.makedirs(folder, exist_ok=True)
        digest = hashlib.sha1(data).hexdigest()[:12]
        with open(os.path.join(folder, "seed-%s-%s" % (name, digest)), "wb") as f:
            f.write(data)
        self.counts[harness] = self.counts.get(harness, 0) + 1


def le(data, at, size):
    return int.from_bytes(data[at:at + size], "little")


def put(buf, at, value, size):
    buf[at:at + size] = (value & ((1 << (8 * size)) - 1)).to_bytes(size, "little")


def strip_zeros(data):
    return data.rstrip(b"\0")


def read_prefix(path, size):
    """The first `size` bytes of a gzip file, read as a stream."""
    with gzip.open(path, "rb") as f:
        return f.read(size)


# ---------------------------------------------------------------- partitions

def mbr_partitions(disk):
    """(start, sectors) of the MBR's primary partitions, or [] without a table."""
    if len(disk) < SECTOR or disk[510:512] != b"\x55\xaa" or is_volume(disk):
        return []
    parts = []
    for i in range(4):
        e = 446 + 16 * i
        kind, start, count = disk[e + 4], le(disk, e + 8, 4), le(disk, e + 12, 4)
        if kind and start:
            parts.append((start * SECTOR, count * SECTOR))
    return parts


def is_volume(sector):
    return sector[3:7] == b"NTFS" or sector[54:57] == b"FAT" or sector[82:87] == b"FAT32"


# ---------------------------------------------------------------- NTFS

def ntfs_geometry(boot):
    bps = le(boot, 11, 2)
    code = boot[13]
    spc = code if code <= 0x80 else 1 << (256 - code)
    cluster = bps * spc
    mft = le(boot, 48, 8) * cluster
    per = struct.unpack_from("<b", boot, 64)[0]
    record = per * cluster if per > 0 else 1 << -per
    return cluster, mft, record


def fixup(record):
    """The record with its update-sequence fix-up applied (a copy)."""
    r = bytearray(record)
    usa, count = le(r, 4, 2), le(r, 6, 2)
    for i in range(1, count):
        end = i * 512
        if end > len(r) or usa + 2 * i + 2 > len(r):
            break
        r[end - 2:end] = r[usa + 2 * i:usa + 2 * i + 2]
    return r


def unfixup(record):
    """Writes the update-sequence number back over each stride's last bytes."""
    r = bytearray(record)
    usa, count = le(r, 4, 2), le(r, 6, 2)
    for i in range(1, count):
        end = i * 512
        if end > len(r) or usa + 2 * i + 2 > len(r):
            break
        r[usa + 2 * i:usa + 2 * i + 2] = r[end - 2:end]
        r[end - 2:end] = r[usa:usa + 2]
    return r


def attributes(record):
    """(offset, type, length) of each attribute of a fixed-up record."""
    at = le(record, 20, 2)
    while at + 8 <= len(record):
        kind, length = le(record, at, 4), le(record, at + 4, 4)
        if kind == 0xFFFFFFFF or length < 16 or at + length > len(record):
            return
        yield at, kind, length
        at += length


def ntfs_seeds(corpus, tag, volume, records):
    """Run lists and chunks of MFT records from an NTFS volume's records."""
    boot = volume[:SECTOR]
    _, _, size = ntfs_geometry(boot)
    if size <= 0 or size > 65536:
        return
    count = len(records) // size
    for first in range(0, count, MFT_CHUNK_RECORDS):
        chunk = records[first * size:(first + MFT_CHUNK_RECORDS) * size]
        if any(chunk):
            corpus.add("mft_record", "%s-%d" % (tag, first), chunk)
    lists = set()
    for n in range(count):
        r = fixup(records[n * size:(n + 1) * size])
        if r[:4] != b"FILE":
            continue
        for at, kind, length in attributes(r):
            if r[at + 8]:  # non-resident: its run list runs to the attribute's end
                lists.add(bytes(r[at + le(r, at + 32, 2):at + length]))
    for i, runs in enumerate(sorted(lists)):
        corpus.add("run_list", "%s-%d" % (tag, i), runs)


def compact_ntfs(volume, records):
    """A volume whose MFT (its first records) lies right after 1 MiB, with
    record 0's data run pointing there, so that a few MiB hold the scan."""
    boot = bytearray(volume[:SECTOR])
    cluster, _, size = ntfs_geometry(boot)
    if not records or size <= 0:
        return None
    start = max(1, (1 << 20) // cluster)
    clusters = max(1, (len(records) + cluster - 1) // cluster)
    put(boot, 48, start, 8)
    record0 = fixup(records[:size])
    for at, kind, length in attributes(record0):
        if kind == 0x80 and record0[at + 8]:
            runs = at + le(record0, at + 32, 2)
            lb = (clusters.bit_length() + 7) // 8
            fb = start.bit_length() // 8 + 1  # signed: the top bit stays clear
            new = bytes([fb << 4 | lb]) + clusters.to_bytes(lb, "little") + start.to_bytes(fb, "little") + b"\0"
            if runs + len(new) > at + length:
                return None
            record0[runs:at + length] = new + bytes(at + length - runs - len(new))
            put(record0, at + 24, clusters - 1, 8)          # last VCN
            put(record0, at + 40, clusters * cluster, 8)    # allocated size
            put(record0, at + 48, len(records), 8)          # data size
            put(record0, at + 56, len(records), 8)          # initialised size
            break
    else:
        return None
    mft = bytearray(records)
    mft[:size] = unfixup(record0)
    image = bytearray(volume[:start * cluster].ljust(start * cluster, b"\0"))
    image[:SECTOR] = boot
    image += mft
    return bytes(image[:WHOLE_VOLUME_BYTES])


# ---------------------------------------------------------------- FAT

def fat_layout(boot):
    bps, spc, reserved, fats, root_entries = le(boot, 11, 2), boot[13], le(boot, 14, 2), boot[16], le(boot, 17, 2)
    fat32 = boot[82:87] == b"FAT32"
    per_fat = le(boot, 36, 4) if fat32 else le(boot, 22, 2)
    root_start = (reserved + fats * per_fat) * bps
    root_bytes = root_entries * 32
    data = root_start + (0 if fat32 else (root_bytes + bps - 1) // bps * bps)
    return bps, spc * bps, reserved * bps, root_start, root_bytes, data, fat32, le(boot, 44, 4)


def fat_seeds(corpus, tag, volume):
    """Directory clusters and the table's start, laid out as the FAT harness
    reads its input (kind byte, one FAT sector, the fixed root, clusters)."""
    if len(volume) < SECTOR:
        return
    bps, cluster, fat_at, root_start, root_bytes, data, fat32, root_cluster = fat_layout(volume[:SECTOR])
    if bps == 0 or cluster == 0:
        return
    table = volume[fat_at:fat_at + SECTOR].ljust(SECTOR, b"\0")
    if fat32:
        root = volume[data + (root_cluster - 2) * cluster:][:cluster]
    else:
        root = volume[root_start:root_start + root_bytes]
    # Folder clusters: the first clusters of the folder entries in the root.
    folders = []
    for at in range(0, len(root) - 31, 32):
        e = root[at:at + 32]
        if e[0] in (0, 0x2E) or e[11] == 0x0F or not e[11] & 0x10:
            continue
        first = le(e, 26, 2) | (le(e, 20, 2) << 16 if fat32 else 0)
        if first >= 2:
            folders.append(volume[data + (first - 2) * cluster:][:cluster])
    clusters = b"".join(folders)
    if fat32:
        body = bytes([2]) + table + root + clusters
    else:
        kind = 0 if volume[54:59] == b"FAT12" else 1
        body = bytes([kind]) + table + root[:1024].ljust(1024, b"\0") + clusters
    corpus.add("fat_directory", tag, body[:FAT_HARNESS_BYTES - SECTOR])


def dir_entry(name83, attr, cluster, size, deleted=False, date=0x5763, time=0x6000):
    e = bytearray(32)
    e[0:11] = name83.encode("ascii")
    if deleted:
        e[0] = 0xE5
    e[11] = attr
    put(e, 14, time, 2)
    put(e, 16, date, 2)
    put(e, 20, cluster >> 16, 2)
    put(e, 22, time, 2)
    put(e, 24, date, 2)
    put(e, 26, cluster & 0xFFFF, 2)
    put(e, 28, size, 4)
    return bytes(e)


def long_name_entries(name, short, deleted=False):
    """The long-name entries for `name`, last piece first, as a volume keeps them."""
    checksum = 0
    for c in short.encode("ascii"):
        checksum = (((checksum & 1) << 7) | (checksum >> 1)) + c & 0xFF
    units = list(name.encode("utf-16-le"))
    units = [units[i] | units[i + 1] << 8 for i in range(0, len(units), 2)] + [0]
    pieces = [units[i:i + 13] for i in range(0, len(units), 13)]
    out = []
    for n, piece in enumerate(pieces, 1):
        piece = piece + [0xFFFF] * (13 - len(piece))
        e = bytearray(32)
        e[0] = n | (0x40 if n == len(pieces) else 0)
        e[11], e[13] = 0x0F, checksum
        for k, at in enumerate((1, 3, 5, 7, 9, 14, 16, 18, 20, 22, 24, 28, 30)):
            put(e, at, piece[k], 2)
        if deleted:
            e[0] = 0xE5
        out.append(bytes(e))
    return b"".join(reversed(out))


def crafted_fat_tree(kind):
    """A small tree in the FAT harness's layout: live and deleted files with
    long names, a folder with a deleted file, a deleted folder and a folder
    whose ".." leads back to itself."""
    entry_bits = {0: 12, 1: 16, 2: 32}[kind]
    table = bytearray(SECTOR)

    def link(c, nxt):
        if entry_bits == 12:
            at = c * 3 // 2
            v = le(table, at, 2)
            v = (v & 0x000F) | (nxt << 4) if c & 1 else (v & 0xF000) | nxt
            put(table, at, v, 2)
        else:
            put(table, c * entry_bits // 8, nxt, entry_bits // 8)

    end = {12: 0xFFF, 16: 0xFFFF, 32: 0x0FFFFFFF}[entry_bits]
    root_cluster = 2 if kind == 2 else 0
    first = 3 if kind == 2 else 2  # FAT32 keeps its root in cluster 2
    docs, gone, loop, data = first, first + 1, first + 2, first + 3
    for c in (docs, gone, loop, root_cluster):
        if c:
            link(c, end)
    link(data, data + 1)
    link(data + 1, end)
    root = (dir_entry("UNDELVO    ", 0x08, 0, 0)
            + long_name_entries("Read me first.txt", "README~1TXT") + dir_entry("README~1TXT", 0x20, data, 700)
            + long_name_entries("Löschen mich.doc", "LSCHEN~1DOC", True)
            + dir_entry("LSCHEN~1DOC", 0x20, data, 900, True)
            + dir_entry("DOCS       ", 0x10, docs, 0)
            + dir_entry("GONE       ", 0x10, gone, 0, True)
            + dir_entry("LOOP       ", 0x10, loop, 0)
            + dir_entry("PHOTO   JPG", 0x20, data + 1, 300, True))

    def folder(cluster, parent, *entries):
        return (dir_entry(".          ", 0x10, cluster, 0) + dir_entry("..         ", 0x10, parent, 0)
                + b"".join(entries)).ljust(SECTOR, b"\0")

    clusters = {
        docs: folder(docs, 0, dir_entry("REPORT  PDF", 0x20, data, 1000, True)),
        gone: folder(gone, 0, dir_entry("OLD     TXT", 0x20, data + 1, 20, True)),
        loop: folder(loop, loop, dir_entry("LOOP       ", 0x10, loop, 0), dir_entry("X       BIN", 0x20, 77, 5, True)),
        data: b"%PDF-1.4 " * 50,
        data + 1: b"\xff\xd8\xff\xe0" + bytes(SECTOR - 4),
    }
    if kind == 2:
        clusters[2] = root.ljust(SECTOR, b"\0")
    body = bytes([kind]) + bytes(table)
    if kind != 2:
        body += root.ljust(1024, b"\0")
    for c in range(2, max(clusters) + 1):
        body += clusters.get(c, b"").ljust(SECTOR, b"\0")[:SECTOR]
    return body


# ---------------------------------------------------------------- boot sectors

def fat_boot(kind, bps=512, spc=1, total=0x10000):
    b = bytearray(SECTOR)
    b[0:3] = b"\xeb\x3c\x90"
    b[3:11] = b"mkfs.fat"
    put(b, 11, bps, 2)
    b[13] = spc
    put(b, 14, 32 if kind == 32 else 1, 2)
    b[16] = 2
    b[21] = 0xF8
    if kind == 32:
        put(b, 32, total, 4)
        put(b, 36, (total // spc * 4 + bps - 1) // bps, 4)
        put(b, 44, 2, 4)
        b[82:90] = b"FAT32   "
    else:
        put(b, 17, 512, 2)
        if total < 0x10000:
            put(b, 19, total, 2)
        else:
            put(b, 32, total, 4)
        put(b, 22, (total // spc * kind // 8 + bps - 1) // bps, 2)
        b[54:62] = b"FAT12   " if kind == 12 else b"FAT16   "
    b[510:512] = b"\x55\xaa"
    return bytes(b)


def ntfs_boot(bps=512, code=8, sectors=49151, mft=4, record_code=0xF6):
    b = bytearray(SECTOR)
    b[0:3] = b"\xeb\x52\x90"
    b[3:11] = b"NTFS    "
    put(b, 11, bps, 2)
    b[13] = code
    b[21] = 0xF8
    put(b, 40, sectors, 8)
    put(b, 48, mft, 8)
    put(b, 56, sectors // 2, 8)
    b[64] = record_code
    b[68] = 1
    b[510:512] = b"\x55\xaa"
    return bytes(b)


def gpt_disk(volume):
    """A GPT disk (protective MBR, header, one entry) with `volume` at LBA 40."""
    disk = bytearray(BOOT_BYTES)
    last = len(disk) // SECTOR - 1
    disk[446 + 4] = 0xEE
    put(disk, 446 + 8, 1, 4)
    put(disk, 446 + 12, last, 4)
    disk[510:512] = b"\x55\xaa"
    entry = bytearray(128)
    entry[0:16] = bytes.fromhex("a2a0d0ebe5b9334487c068b6b72699c7")  # basic data
    entry[16:32] = bytes(range(1, 17))
    put(entry, 32, 40, 8)
    put(entry, 40, last, 8)
    entry[56:56 + 8] = "data".encode("utf-16-le")
    entries = bytes(entry) + bytes(128 * 127)
    header = bytearray(92)
    header[0:8] = b"EFI PART"
    put(header, 8, 0x00010000, 4)
    put(header, 12, 92, 4)
    put(header, 24, 1, 8)
    put(header, 32, last, 8)
    put(header, 40, 34, 8)
    put(header, 48, last, 8)
    header[56:72] = bytes(range(16, 32))
    put(header, 72, 2, 8)
    put(header, 80, 128, 4)
    put(header, 84, 128, 4)
    put(header, 88, zlib.crc32(entries), 4)
    put(header, 16, zlib.crc32(bytes(header)), 4)
    disk[SECTOR:SECTOR + 92] = header
    disk[2 * SECTOR:2 * SECTOR + len(entries)] = entries
    disk[40 * SECTOR:40 * SECTOR + len(volume)] = volume[:len(disk) - 40 * SECTOR]
    return bytes(disk)


def compact_mbr(disk, volume):
    """The MBR of `disk` with its first partition moved to LBA 16, the
    volume's start placed there, in the boot harness's size."""
    mbr = bytearray(disk[:SECTOR])
    put(mbr, 446 + 8, 16, 4)
    return bytes(mbr) + bytes(15 * SECTOR) + volume[:BOOT_BYTES - 16 * SECTOR]


def boot_seeds(corpus, tag, disk, volume):
    corpus.add("boot_sectors", tag, strip_zeros(volume[:BOOT_BYTES]))
    if disk is not volume:
        corpus.add("boot_sectors", tag + "-disk", strip_zeros(disk[:BOOT_BYTES]))
        corpus.add("boot_sectors", tag + "-mbr", strip_zeros(compact_mbr(disk, volume)))


def crafted_boot_seeds(corpus, first_ntfs_mft):
    corpus.add("boot_sectors", "fat12-floppy", fat_boot(12, total=2880))
    corpus.add("boot_sectors", "fat16", fat_boot(16, spc=4, total=49152))
    corpus.add("boot_sectors", "fat16-4k-sectors", fat_boot(16, bps=4096, total=20000))
    corpus.add("boot_sectors", "fat32", fat_boot(32, total=81920))
    corpus.add("boot_sectors", "fat32-big-clusters", fat_boot(32, spc=128, total=0xFFFFFFFF))
    corpus.add("boot_sectors", "ntfs-4k-sectors", ntfs_boot(bps=4096, code=1, sectors=6000, mft=4))
    corpus.add("boot_sectors", "ntfs-64k-clusters", ntfs_boot(code=0xF0, sectors=1 << 20, mft=2))
    corpus.add("boot_sectors", "ntfs-huge", ntfs_boot(code=0x80, sectors=(1 << 63) - 1, mft=(1 << 62)))
    corpus.add("boot_sectors", "exfat", b"\xeb\x76\x90EXFAT   " + bytes(499) + b"\x55\xaa")
    # An NTFS boot sector with its MFT at cluster 1 (1 KiB clusters) and the
    # fixture's first records there, so that the MFT's map is read too.
    if first_ntfs_mft:
        boot = ntfs_boot(code=2, sectors=8192, mft=1, record_code=0xF6)
        corpus.add("boot_sectors", "ntfs-mft-inside", boot + bytes(1024 - SECTOR) + first_ntfs_mft[:8 << 10])
    corpus.add("boot_sectors", "gpt-fat16", gpt_disk(fat_boot(16, spc=4, total=49152)))


# ---------------------------------------------------------------- the others

def lznt1_seeds(corpus):
    raw = bytes(range(256)) * 16
    stored = struct.pack("<H", 0x3000 | (len(raw) + 2 - 3)) + raw
    literals = b"Undelvo!"
    literal_chunk = b"\x00" + literals
    literal_chunk = struct.pack("<H", 0xB000 | (len(literal_chunk) + 2 - 3)) + literal_chunk
    # "ab" then one back-reference of 100 bytes at distance 2 (4 offset bits at position 2).
    phrase = b"\x04ab" + struct.pack("<H", (1 << 12) | (100 - 3))
    phrase_chunk = struct.pack("<H", 0xB000 | (len(phrase) + 2 - 3)) + phrase
    corpus.add("lznt1", "stored", bytes([16]) + stored + phrase_chunk)
    corpus.add("lznt1", "literals", bytes([16]) + literal_chunk + stored)
    corpus.add("lznt1", "phrase", bytes([2]) + phrase_chunk + phrase_chunk)
    corpus.add("lznt1", "odd-unit", bytes([0x85]) + phrase_chunk + literal_chunk)


def text_seeds(corpus, source):
    for path in sorted(glob.glob(os.path.join(source, "src/settings/lang/*.ini"))):
        with open(path, "rb") as f:
            corpus.add("ini_registry", os.path.basename(path), f.read()[:16 << 10])
    corpus.add("ini_registry", "registry", (
        "Windows Registry Editor Version 5.00\n\n"
        "[HKEY_CURRENT_USER\\SOFTWARE\\Morrowvane\\Undelvo]\n"
        "\"Language\"=dword:00000002\n\"SaveDir\"=\"/home/u/Desktop/Restored \\\"Files\\\"\\\\x\"\n"
        "\"nRecovered\"=dword:0000002a\n\"LastRun\"=hex:00,00,00,00,c0,f3,e6,40\n\"ShowNote\"=dword:00000001\n"
        "\n[hkey_current_user\\software\\morrowvane\\undelvo]\n\"language\"=dword:00000003\n"
        "\n[HKEY_CLASSES_ROOT\\.txt]\n\"\"=\"txtfile\"\n").encode())
    corpus.add("ini_registry", "geometry", (
        "[C:]\nSectorPerCluster=8\nBytesPerCluster=4096\nSectorCount=49151\nMFTStart=4\n"
        "BytesPerSector=512\nClusterCount=6143\nVolumeId=fuzz\n\n[D:]\nMFTStart=-1\n").encode())
    corpus.add("ini_registry", "broken", b"\xef\xbb\xbf; comment\n[Drive\nMessage3=x\n[ Drive ]\n =y\nMessage3==z\n")
    for i, value in enumerate([
            "12345#C:\\docs\\old\\#2023/11/14#2048",
            "R#/home/u/.local/share/Trash/files/a b.txt#2020/01/01#5",
            "7#C:\\a#b\\c#\\#d#99999999999999999999999",
            "#", "##", "###", "",
            "0#C:\\..\\..\\etc\\#x#1",
            "loc\0C:\\path#with#hashes\\\0date\0123"]):
        corpus.add("entry_value", "value%d" % i, value.encode())


# ---------------------------------------------------------------- images

def volume_seeds(corpus, tag, disk, with_mft_from=None):
    """Every seed one disk image gives: per volume on it (the disk itself or
    its MBR partitions)."""
    parts = mbr_partitions(disk) or [(0, len(disk))]
    first_mft = None
    for n, (start, size) in enumerate(parts):
        volume = disk[start:start + size] if start or size != len(disk) else disk
        vtag = tag if len(parts) == 1 else "%s-p%d" % (tag, n + 1)
        if len(volume) < SECTOR or not is_volume(volume[:SECTOR]):
            continue
        boot_seeds(corpus, vtag, disk, volume)
        if volume[3:7] == b"NTFS":
            _, mft, record = ntfs_geometry(volume[:SECTOR])
            records = (with_mft_from or {}).get(start) or volume[mft:mft + 128 * record]
            ntfs_seeds(corpus, vtag, volume, records)
            first_mft = first_mft or records
            if mft + 128 * record <= WHOLE_VOLUME_BYTES:
                corpus.add("whole_volume", vtag, strip_zeros(volume[:WHOLE_VOLUME_BYTES]))
            else:
                compact = compact_ntfs(volume, records[:256 * record])
                if compact:
                    corpus.add("whole_volume", vtag + "-compact", strip_zeros(compact))
        else:
            fat_seeds(corpus, vtag, volume)
            corpus.add("whole_volume", vtag, strip_zeros(volume[:WHOLE_VOLUME_BYTES]))
    return first_mft


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    corpus = Corpus(sys.argv[1])
    source = sys.argv[2]
    anchors = sys.argv[3] if len(sys.argv) > 3 else ""

    first_mft = None
    for path in sorted(glob.glob(os.path.join(source, "tests/data/*.img.gz"))):
        with gzip.open(path, "rb") as f:
            disk = f.read()
        mft = volume_seeds(corpus, os.path.basename(path)[:-len(".img.gz")], disk)
        first_mft = first_mft or mft

    if anchors and os.path.isdir(anchors):
        for path in sorted(glob.glob(os.path.join(anchors, "fat", "*.img.gz"))):
            volume_seeds(corpus, "anchor-" + os.path.basename(path)[:-len(".img.gz")],
                         read_prefix(path, WHOLE_VOLUME_BYTES))
        for path in sorted(glob.glob(os.path.join(anchors, "*.raw.gz"))):
            # The MFT of these lies a third into the volume: read the stream
            # up to its first records, keep the start and those records.
            with gzip.open(path, "rb") as f:
                head = f.read(WHOLE_VOLUME_BYTES)
                mfts = {}
                for start, _ in mbr_partitions(head):
                    boot = head[start:start + SECTOR]
                    if boot[3:7] != b"NTFS":
                        continue
                    _, mft, record = ntfs_geometry(boot)
                    at = start + mft
                    f.seek(at)
                    mfts[start] = f.read(256 * record)
            volume_seeds(corpus, "anchor-" + os.path.basename(path)[:-len(".raw.gz")], head, mfts)

    fat_kinds = ("fat12", "fat16", "fat32")
    for kind in range(3):
        corpus.add("fat_directory", "crafted-" + fat_kinds[kind], crafted_fat_tree(kind))
    crafted_boot_seeds(corpus, first_mft)
    lznt1_seeds(corpus)
    text_seeds(corpus, source)
    for runs in (b"\x11\x01\x01\x00", b"\x01\x10\x21\x04\x00\x10\x00", b"\x31\x10\xff\xff\x7f\x41\x10\x00\x00\x00\x80\x00",
                 b"\x48" + b"\xff" * 12 + b"\x00"):
        corpus.add("run_list", "crafted", runs)
    for name in sorted(corpus.counts):
        print("%s: %d seeds" % (name, corpus.counts[name]))


if __name__ == "__main__":
    main()
