#!/usr/bin/env python3
"""Helper of scripts/make-fixtures: file contents, cluster records, manifests, checks.

Subcommands (all paths inside a volume are absolute, "/" separated):
  gen OUT SIZE NAME KEY             write SIZE bytes of content for a file called
                                    NAME (its extension picks the kind), seeded by KEY
  interleave CHUNK A_DEST A_SRC B_DEST B_SRC A_PLAN B_PLAN
                                    copy two files into a mounted volume in turns
                                    (A_PLAN/B_PLAN: comma lists of chunk counts),
                                    syncing after each chunk so that their clusters
                                    interleave and both end up fragmented
  fat32-forget-next-free VOL        set the FAT32 FSInfo next-free hint to "unknown"
  fill DIR SIZE                     write files of SIZE bytes (f00000.dat, ...) into a
                                    mounted folder until the volume is full
  first-clusters VOL FOLDER         print "cluster<TAB>name" of each file in FOLDER
  numbered OUT SIZE CHUNK NAME      write SIZE bytes of text whose every CHUNK bytes
                                    name their place in the file (compresses well, yet
                                    a chunk out of place shows)
  record VOL STATE                  add the runs of every live file to STATE (json)
  manifest VOL STATE DELETED LIVE OUT_DELETED OUT_LIVE
                                    write the manifests from the final volume
  check IMAGE MANIFEST [LIVE]       compare the manifests with The Sleuth Kit's view

The Sleuth Kit is the source of the block lists: `fls` and `istat -r` on the volume
before each batch of deletions, `blkls -l -e` for the final allocation state.
Block units are TSK's: sectors on FAT, clusters on NTFS.
"""
import hashlib
import json
import os
import random
import re
import struct
import subprocess
import sys

WORDS = ("the of and to in is was for on that with as by at from this be are or have an "
         "file disk cluster sector folder record volume table entry undelete recover name "
         "report budget photo music letter plan notes archive backup invoice draft final "
         "meeting project summer winter data index green blue red quick brown fox jumps "
         "over lazy dog alpha beta gamma delta lorem ipsum dolor sit amet").split()


def rng_for(key):
    return random.Random(int.from_bytes(hashlib.sha256(key.encode()).digest()[:8], "little"))


def text_bytes(r, n):
    out = []
    total = 0
    line = 0
    while total < n:
        line += 1
        s = "%04d %s.\n" % (line, " ".join(r.choice(WORDS) for _ in range(r.randint(4, 14))))
        out.append(s)
        total += len(s)
    return "".join(out).encode()[:n]


def binary_bytes(r, n):
    # Half random, half runs of a repeated byte: still unique per cluster, but
    # compresses enough to keep the committed images small.
    out = bytearray()
    while len(out) < n:
        out += r.randbytes(r.randint(64, 400))
        out += bytes([r.randrange(256)]) * r.randint(64, 400)
    return bytes(out[:n])


# A valid 8x8 grey baseline JPEG is SOI, the tables below, one scan and EOI.  Any
# payload is carried in COM segments between SOI and the tables, so every ".jpg"
# here decodes as a picture whatever its size.
JPEG_TABLES = (
    b"\xff\xdb\x00\x43\x00" + b"\x01" * 64 +                      # DQT, all ones
    b"\xff\xc0\x00\x0b\x08\x00\x08\x00\x08\x01\x01\x11\x00" +      # SOF0 8x8, 1 component
    b"\xff\xc4\x00\x14\x00" + b"\x01" + b"\x00" * 15 + b"\x00" +  # DHT DC: one 1-bit code -> 0
    b"\xff\xc4\x00\x14\x10" + b"\x01" + b"\x00" * 15 + b"\x00" +  # DHT AC: one 1-bit code -> EOB
    b"\xff\xda\x00\x08\x01\x01\x00\x00\x3f\x00" +                  # SOS
    b"\x3f" +                                                       # DC 0, EOB, 1-bit padding
    b"\xff\xd9")                                                    # EOI


def jpeg_bytes(r, n):
    head = b"\xff\xd8\xff\xe0\x00\x10JFIF\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00"
    fixed = len(head) + len(JPEG_TABLES)
    payload = max(0, n - fixed)
    body = bytearray()
    trailer = b""
    while payload > 0:
        if payload < 5:  # too small for a COM segment: bytes after EOI are ignored
            trailer = binary_bytes(r, payload)
            break
        k = min(payload - 4, 60000)
        if 0 < payload - 4 - k < 5:
            k -= 5
        body += b"\xff\xfe" + struct.pack(">H", k + 2) + binary_bytes(r, k)
        payload -= k + 4
    data = head + bytes(body) + JPEG_TABLES + trailer
    return data if n >= fixed else data[:n]


def content(size, name, key):
    r = rng_for(key)
    ext = os.path.splitext(name)[1].lower()
    if size == 0:
        return b""
    if ext == ".jpg":
        return jpeg_bytes(r, size)
    if ext in (".txt", ".md", ".log", ".tmp", ""):
        return text_bytes(r, size)
    if ext in (".html", ".htm"):
        t = text_bytes(r, size)
        head = b"<!DOCTYPE html>\n<html><head><title>fixture</title></head><body><pre>\n"
        tail = b"\n</pre></body></html>\n"
        return (head + t + tail)[:size] if size > len(head) + len(tail) else t
    magic = {
        ".doc": b"\xd0\xcf\x11\xe0\xa1\xb1\x1a\xe1",
        ".xls": b"\xd0\xcf\x11\xe0\xa1\xb1\x1a\xe1",
        ".pdf": b"%PDF-1.4\n%\xe2\xe3\xcf\xd3\n",
        ".mp3": b"ID3\x03\x00\x00\x00\x00\x0f\x76",
        ".exe": b"MZ\x90\x00\x03\x00\x00\x00\x04\x00\x00\x00\xff\xff",
        ".zip": b"PK\x03\x04\x14\x00\x00\x00\x08\x00",
        ".avi": b"RIFF\x00\x00\x00\x00AVI LIST",
    }.get(ext, b"")
    return (magic + binary_bytes(r, size))[:size]


def sha256(data):
    return hashlib.sha256(data).hexdigest()


def run(args):
    p = subprocess.run(args, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    if p.returncode != 0:
        raise SystemExit("failed: %s\n%s" % (" ".join(args), p.stderr.decode(errors="replace")))
    return p.stdout


def fs_info(vol, offset=0):
    """Returns (fstype, unit size in bytes) as TSK sees the volume."""
    out = run(["fsstat", "-o", str(offset), vol]).decode(errors="replace")
    m = re.search(r"File System Type: (\S+)", out)
    fstype = m.group(1).upper()
    if fstype == "NTFS":
        unit = int(re.search(r"Cluster Size: (\d+)", out).group(1))
    else:
        unit = int(re.search(r"Sector Size: (\d+)", out).group(1))
    return fstype, unit


def fls_entries(vol, flags, offset=0):
    """(type, deleted, inode, realloc, path) for each line of `fls -r -p FLAGS`."""
    out = run(["fls", "-r", "-p", "-o", str(offset)] + flags + [vol]).decode("utf-8", "replace")
    res = []
    for line in out.splitlines():
        m = re.match(r"^(\S+) (\* )?([0-9-]+)(\(realloc\))?:\t(.*)$", line)
        if m:
            res.append((m.group(1), bool(m.group(2)), m.group(3), bool(m.group(4)), m.group(5)))
    return res


def data_runs(vol, inode, offset=0):
    """(resident, size, [[start, length], ...]) of the unnamed data of a file."""
    out = run(["istat", "-r", "-o", str(offset), vol, inode]).decode("utf-8", "replace")
    lines = out.splitlines()
    if "Sectors:" in lines:  # FAT: one list of runs after "Sectors:"
        size = int(re.search(r"^Size: (\d+)", out, re.M).group(1))
        i = lines.index("Sectors:")
        runs = [[int(a), int(b)] for a, b in
                re.findall(r"Starting address: (\d+), length: (\d+)", "\n".join(lines[i + 1:]))]
        return False, size, runs
    for i, line in enumerate(lines):
        m = re.match(r"Type: \$DATA \(128-\d+\)\s+Name: N/A\s+(Non-Resident|Resident)\s+size: (\d+)", line)
        if not m:
            continue
        size = int(m.group(2))
        if m.group(1) == "Resident":
            return True, size, []
        runs = []
        for follow in lines[i + 1:]:
            r = re.match(r"\s+Starting address: (\d+), length: (\d+)", follow)
            if not r:
                break
            runs.append([int(r.group(1)), int(r.group(2))])
        return False, size, runs
    raise SystemExit("no unnamed $DATA in inode %s of %s" % (inode, vol))


def merge_runs(runs):
    merged = []
    for start, length in runs:
        if merged and merged[-1][0] + merged[-1][1] == start:
            merged[-1][1] += length
        else:
            merged.append([start, length])
    return merged


def read_runs(vol, unit, runs, size):
    out = bytearray()
    with open(vol, "rb") as f:
        for start, length in runs:
            f.seek(start * unit)
            out += f.read(length * unit)
    return bytes(out[:size])


def cmd_gen(out, size, name, key):
    with open(out, "wb") as f:
        f.write(content(int(size), name, key))


def cmd_interleave(chunk, a_dest, a_src, b_dest, b_src, a_plan, b_plan):
    chunk = int(chunk)
    a_data = open(a_src, "rb").read()
    b_data = open(b_src, "rb").read()
    a_counts = [int(x) for x in a_plan.split(",")]
    b_counts = [int(x) for x in b_plan.split(",")]
    fa = os.open(a_dest, os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o644)
    fb = os.open(b_dest, os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o644)
    pa = pb = 0
    for i in range(max(len(a_counts), len(b_counts))):
        for fd, data, counts, pos_name in ((fa, a_data, a_counts, "a"), (fb, b_data, b_counts, "b")):
            if i >= len(counts):
                continue
            pos = pa if pos_name == "a" else pb
            last = i == len(counts) - 1
            end = len(data) if last else min(len(data), pos + counts[i] * chunk)
            os.write(fd, data[pos:end])
            os.fsync(fd)
            if pos_name == "a":
                pa = end
            else:
                pb = end
    os.close(fa)
    os.close(fb)
    if pa != len(a_data) or pb != len(b_data):
        raise SystemExit("interleave: plan does not cover the files")


def cmd_fat32_forget_next_free(vol):
    with open(vol, "r+b") as f:
        boot = f.read(512)
        info_sector = struct.unpack_from("<H", boot, 48)[0]
        bps = struct.unpack_from("<H", boot, 11)[0]
        f.seek(info_sector * bps)
        info = f.read(512)
        if info[:4] != b"RRaA" or info[484:488] != b"rrAa":
            raise SystemExit("no FSInfo sector in " + vol)
        f.seek(info_sector * bps + 492)
        f.write(struct.pack("<I", 0xFFFFFFFF))


def cmd_fill(folder, size):
    size = int(size)
    n = 0
    while True:
        path = os.path.join(folder, "f%05d.dat" % n)
        try:
            with open(path, "wb") as f:
                f.write(bytes([n % 251]) * size)
        except OSError:
            os.remove(path)  # the one that did not fit
            return
        n += 1


def cmd_first_clusters(vol, folder):
    from concurrent.futures import ThreadPoolExecutor
    inode = run(["ifind", "-n", folder, vol]).decode().strip()
    files = re.findall(r"^r/r (\d+)-128-\d+:\t(.*)$", run(["fls", "-u", vol, inode]).decode(), re.M)

    def first(entry):
        m = re.search(r"Starting address: (\d+)", run(["istat", "-r", vol, entry[0]]).decode())
        return int(m.group(1)) if m else -1

    with ThreadPoolExecutor(os.cpu_count() or 2) as pool:
        for (_, name), cluster in zip(files, pool.map(first, files)):
            print("%d\t%s" % (cluster, name))


def cmd_numbered(out, size, chunk, name):
    size, chunk = int(size), int(chunk)
    with open(out, "wb") as f:
        for i in range((size + chunk - 1) // chunk):
            line = b"%s chunk %06d\n" % (name.encode(), i)
            f.write((line * (chunk // len(line) + 1))[:min(chunk, size - i * chunk)])


def cmd_record(vol, state_path):
    state = json.load(open(state_path)) if os.path.exists(state_path) else {}
    for typ, deleted, inode, realloc, path in fls_entries(vol, ["-u", "-F"]):
        if path.startswith("$") or ":" in path.rsplit("/", 1)[-1]:
            continue  # NTFS metadata files and named streams
        num = inode.split("-")[0]
        resident, size, runs = data_runs(vol, num)
        state["/" + path] = {"inode": num, "size": size, "resident": resident, "runs": runs}
    with open(state_path, "w") as f:
        json.dump(state, f, indent=1, ensure_ascii=False, sort_keys=True)


def read_log(path):
    rows = []
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.rstrip("\n")
            if line:
                vpath, src = line.split("\t")
                rows.append((vpath, src))
    return rows


def split_path(vpath):
    folder, name = vpath.rsplit("/", 1)
    return name, folder + "/"


HEADER = "name\tfolder\tsize\tsha256\treused\tcontiguous\n"


def cmd_manifest(vol, state_path, deleted_log, live_log, out_deleted, out_live):
    state = json.load(open(state_path))
    fstype, unit = fs_info(vol)
    ntfs = fstype == "NTFS"
    allocated = set()
    for line in run(["blkls", "-l", "-e", vol]).decode().splitlines():
        m = re.match(r"^(\d+)\|a$", line)
        if m:
            allocated.add(int(m.group(1)))

    def describe(vpath, src, deleted):
        data = open(src, "rb").read()
        rec = state.get(vpath)
        if rec is None:
            raise SystemExit("no block record for %s (snapshot missing before deletion?)" % vpath)
        if rec["size"] != len(data):
            raise SystemExit("recorded size %d of %s differs from its content (%d)" % (rec["size"], vpath, len(data)))
        runs = merge_runs(rec["runs"])
        contiguous = 1 if len(runs) <= 1 else 0
        reused = 0
        if deleted:
            blocks = [b for s, n in runs for b in range(s, s + n)]
            if any(b in allocated for b in blocks):
                reused = 1
            elif runs and read_runs(vol, unit, runs, len(data)) != data:
                reused = 1  # overwritten by a file that has since been deleted too
            if ntfs:
                # The MFT record must still describe this file: same name, not in use.
                ist = run(["istat", vol, rec["inode"]]).decode("utf-8", "replace")
                name = vpath.rsplit("/", 1)[1]
                if "Not Allocated" not in ist or ("Name: " + name) not in ist:
                    reused = 1
                elif rec["resident"] and run(["icat", vol, rec["inode"]]) != data:
                    reused = 1
        name, folder = split_path(vpath)
        return (name, folder, len(data), sha256(data), reused, contiguous)

    def write(path, rows):
        rows.sort(key=lambda r: (r[1], r[0]))
        with open(path, "w", encoding="utf-8", newline="\n") as f:
            f.write(HEADER)
            for r in rows:
                f.write("%s\t%s\t%d\t%s\t%d\t%d\n" % r)

    deleted_rows = [describe(p, s, True) for p, s in read_log(deleted_log)]
    live_rows = [describe(p, s, False) for p, s in read_log(live_log)]
    write(out_deleted, deleted_rows)
    write(out_live, live_rows)
    for r in deleted_rows:
        print("  deleted %-44s %8d  reused=%d contiguous=%d" % (r[1] + r[0], r[2], r[4], r[5]))
    print("  %d deleted, %d live; %d reused, %d fragmented" % (
        len(deleted_rows), len(live_rows), sum(r[4] for r in deleted_rows),
        sum(1 - r[5] for r in deleted_rows)))


def read_manifest(path):
    rows = []
    with open(path, encoding="utf-8") as f:
        header = f.readline()
        if header != HEADER:
            raise SystemExit("unexpected header in " + path)
        for line in f:
            name, folder, size, digest, reused, contiguous = line.rstrip("\n").split("\t")
            rows.append(dict(name=name, folder=folder, size=int(size), sha256=digest,
                             reused=int(reused), contiguous=int(contiguous)))
    return rows


def partition_offset(image):
    """Start sector of the first FAT or NTFS partition, 0 for a bare volume."""
    p = subprocess.run(["mmls", image], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    if p.returncode != 0:
        return 0
    for line in p.stdout.decode(errors="replace").splitlines():
        m = re.match(r"^\d+:\s+\d+:\d+\s+(\d+)\s+\d+\s+\d+\s+.*\((0x0[14567bce])\)", line)
        if m:
            return int(m.group(1))
    return 0


def same_component(tsk, real, fat):
    if tsk == real:
        return True
    if fat and len(tsk) == len(real) and tsk.lower()[1:] == real.lower()[1:]:
        return True  # a deleted 8.3 entry has lost its first character
    return False


def cmd_check(image, manifest, live=None):
    offset = partition_offset(image)
    fstype, _ = fs_info(image, offset)
    fat = fstype.startswith("FAT")
    tag = os.path.basename(image)
    problems = []
    notes = []
    entries = fls_entries(image, ["-d"], offset)
    candidates = [(e[2].split("-")[0], e[4]) for e in entries if not e[3]]
    rows = read_manifest(manifest)
    listed = orphans = matched = 0
    for row in rows:
        want = (row["folder"] + row["name"]).strip("/").split("/")
        hit = None
        for inode, path in candidates:
            parts = path.split("/")
            if len(parts) == len(want) and all(same_component(t, w, fat) for t, w in zip(parts, want)):
                hit = inode
                break
        orphan = False
        if hit is None:
            for inode, path in candidates:
                if path.startswith("$OrphanFiles/") and path.rsplit("/", 1)[-1] == row["name"]:
                    hit, orphan = inode, True
                    break
        label = row["folder"] + row["name"]
        if hit is None:
            (notes if row["reused"] else problems).append("not listed by fls -d: " + label)
            continue
        listed += 1
        orphans += orphan
        if orphan:
            notes.append("listed under $OrphanFiles: " + label)
        if row["reused"]:
            continue
        data = run(["icat", "-o", str(offset), image, hit])
        if sha256(data) == row["sha256"]:
            matched += 1
        elif fat and not row["contiguous"]:
            notes.append("icat differs (fragmented FAT file, TSK assumes contiguous): " + label)
        else:
            problems.append("icat differs: " + label)
    unreused = sum(1 for r in rows if not r["reused"])
    print("%s: %s at sector %d; %d deleted in manifest, %d listed by fls -d (%d as orphans); "
          "icat matches %d of %d not reused" % (tag, fstype, offset, len(rows), listed, orphans,
                                                 matched, unreused))
    if live:
        live_entries = {e[4]: e[2].split("-")[0] for e in fls_entries(image, ["-u", "-F"], offset)}
        good = 0
        live_rows = read_manifest(live)
        for row in live_rows:
            path = (row["folder"] + row["name"]).lstrip("/")
            inode = live_entries.get(path)
            if inode is None:
                problems.append("live file not listed: /" + path)
            elif sha256(run(["icat", "-o", str(offset), image, inode])) != row["sha256"]:
                problems.append("live file differs: /" + path)
            else:
                good += 1
        print("%s: %d of %d live files listed and equal" % (tag, good, len(live_rows)))
    for n in notes:
        print("  note: " + n)
    for p in problems:
        print("  PROBLEM: " + p)
    return 1 if problems else 0


def main(argv):
    if len(argv) < 2:
        raise SystemExit(__doc__)
    cmd, args = argv[1], argv[2:]
    if cmd == "gen":
        cmd_gen(*args)
    elif cmd == "interleave":
        cmd_interleave(*args)
    elif cmd == "fat32-forget-next-free":
        cmd_fat32_forget_next_free(*args)
    elif cmd == "fill":
        cmd_fill(*args)
    elif cmd == "first-clusters":
        cmd_first_clusters(*args)
    elif cmd == "numbered":
        cmd_numbered(*args)
    elif cmd == "record":
        cmd_record(*args)
    elif cmd == "manifest":
        cmd_manifest(*args)
    elif cmd == "check":
        return cmd_check(*args)
    else:
        raise SystemExit(__doc__)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
