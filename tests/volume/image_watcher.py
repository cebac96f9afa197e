#!/usr/bin/env python3
"""The host side of the image-drive suite, beside the Wine test that with_image_drive.sh runs.

  image_watcher.py prepare PREFIX LETTER IMAGE MOUNT
      Proves that MOUNT is the loop mount of IMAGE (ext4) and makes every free block of it
      free to the caller (ext4 keeps a reserve of clusters beyond mkfs -m 0 otherwise).
  image_watcher.py serve PREFIX LETTER IMAGE MOUNT CHANNEL
      Answers the test's requests until CHANNEL/quit appears.

A request is a file N.request in CHANNEL holding "VERB\\nARGUMENT"; the answer goes to
N.answer (written whole, then renamed). Verbs:
  check LETTER   "image" when the prefix maps LETTER: to the mounted image, else why not
  free           "avail=BYTES total=BYTES" of the mounted image
  tree           "KIND PATH" per entry of the image, links not followed (KIND: file,
                 dir, link, other)
  scan MARKER    unmaps the drive, unmounts, counts MARKER in the image file, mounts and
                 maps it again: "count=N"
  sample-start   watches the image until sample-stop: the least space free to the caller,
                 the fill files (QMZTEMP*) seen, and the values their last page took
  sample-stop    "minavail=BYTES temps=NAME,... values=V,... maxrss=KIB" of that watch
                 (maxrss: the largest VmRSS of the prefix's QMZ4.exe meanwhile)
  rss            "rss=KIB hwm=KIB" (VmRSS, VmHWM) of the prefix's QMZ4.exe
  kill           kill -9 of this prefix's QMZ4.exe: "killed=PID,..."
  links          host symbolic links on the image to a folder and a file outside it
                 (WORK/outside): "ok"
  trash seed|list  an item put into Wine's Recycle Bin (XDG_DATA_HOME/Trash); its items
Anything that fails answers "error: ...".
"""
import os
import signal
import subprocess
import sys
import threading
import time

FILL_PREFIX = "qmztemp"


def run(*command):
    return subprocess.run(command, capture_output=True, text=True, check=False)


def mount_source(mount):
    found = run("findmnt", "-n", "-o", "SOURCE,FSTYPE", "--mountpoint", mount)
    parts = found.stdout.split()
    return (parts[0], parts[1]) if found.returncode == 0 and len(parts) == 2 else (None, None)


def prove_image(image, mount):
    """None when MOUNT is the loop mount of IMAGE, else what is wrong."""
    source, fstype = mount_source(mount)
    if source is None:
        return "nothing is mounted at " + mount
    if not source.startswith("/dev/loop") or fstype != "ext4":
        return "%s is %s (%s), not an ext4 loop device" % (mount, source, fstype)
    backing = run("losetup", "-n", "-O", "BACK-FILE", "-l", source).stdout.strip()
    if os.path.realpath(backing) != os.path.realpath(image):
        return "%s is backed by %s, not %s" % (source, backing, image)
    return None


def prepare(image, mount):
    wrong = prove_image(image, mount)
    if wrong is not None:
        return wrong
    source, _ = mount_source(mount)
    reserve = "/sys/fs/ext4/%s/reserved_clusters" % os.path.basename(source)
    try:
        with open(reserve, "w") as out:
            out.write("0")
    except OSError as error:
        return "cannot clear %s: %s" % (reserve, error)
    stats = os.statvfs(mount)
    if stats.f_bavail != stats.f_bfree:
        return "only %d of %d free blocks are free to the caller" % (stats.f_bavail, stats.f_bfree)
    return None


class Watcher:
    def __init__(self, prefix, letter, image, mount, channel):
        self.prefix = os.path.realpath(prefix)
        self.letter = letter.lower()
        self.image = image
        self.mount = mount
        self.channel = channel
        self.device = os.path.join(prefix, "dosdevices", self.letter + ":")
        self.sampler = None

    # The requests.
    def check(self, letter):
        device = os.path.join(self.prefix, "dosdevices", letter.strip().lower().rstrip(":") + ":")
        if not os.path.islink(device):
            return "refused: %s is no drive of the prefix" % letter
        if os.path.realpath(device) != os.path.realpath(self.mount):
            return "refused: %s maps %s" % (letter, os.path.realpath(device))
        wrong = prove_image(self.image, self.mount)
        return "refused: " + wrong if wrong else "image"

    def free(self, _):
        stats = os.statvfs(self.mount)
        return "avail=%d total=%d" % (stats.f_bavail * stats.f_frsize, stats.f_blocks * stats.f_frsize)

    def tree(self, _):
        lines = []
        for folder, dirs, files in os.walk(self.mount):
            for name in sorted(dirs + files):
                path = os.path.join(folder, name)
                if os.path.islink(path):
                    kind = "link"
                elif os.path.isdir(path):
                    kind = "dir"
                elif os.path.isfile(path):
                    kind = "file"
                else:
                    kind = "other"
                lines.append("%s %s" % (kind, os.path.relpath(path, self.mount)))
        return "\n".join(lines)

    def trash(self, action):
        """Wine's Recycle Bin is XDG_DATA_HOME/Trash, which with_image_drive.sh puts into
        the run's own folder: "seed" puts one item into it, "list" names its items."""
        trash = os.path.join(os.path.dirname(self.mount), "xdg", "Trash")
        if action.strip() == "seed":
            os.makedirs(os.path.join(trash, "files"), exist_ok=True)
            os.makedirs(os.path.join(trash, "info"), exist_ok=True)
            with open(os.path.join(trash, "files", "binned.txt"), "w") as out:
                out.write("deleted into the bin")
            with open(os.path.join(trash, "info", "binned.txt.trashinfo"), "w") as out:
                out.write("[Trash Info]\nPath=/binned.txt\nDeletionDate=2024-01-01T00:00:00\n")
            return "ok"
        files = os.path.join(trash, "files")
        return ",".join(sorted(os.listdir(files))) if os.path.isdir(files) else ""

    def scan(self, marker):
        if self.sampler is not None:
            return "error: sampling is still running"
        if not marker:
            return "error: no marker"
        os.unlink(self.device)
        try:
            for _ in range(100):
                if run("umount", self.mount).returncode == 0:
                    break
                time.sleep(0.2)
            else:
                return "error: %s stays busy" % self.mount
            count = count_in_file(self.image, marker.encode())
        finally:
            remounted = self.remount()
        return remounted or "count=%d" % count

    def remount(self):
        """None once the image is mounted and mapped again, else what failed."""
        if mount_source(self.mount)[0] is None:
            mounted = run("mount", "-o", "loop", self.image, self.mount)
            if mounted.returncode != 0:
                return "error: cannot mount again: " + mounted.stderr.strip()
        wrong = prepare(self.image, self.mount)
        if wrong is not None:
            return "error: " + wrong
        os.symlink(self.mount, self.device)
        return None

    def sample_start(self, _):
        if self.sampler is not None:
            return "error: already sampling"
        self.sampler = Sampler(self.mount, program_processes(self.prefix))
        self.sampler.start()
        return "ok"

    def sample_stop(self, _):
        if self.sampler is None:
            return "error: not sampling"
        sampler, self.sampler = self.sampler, None
        return sampler.stop()

    def rss(self, _):
        programs = program_processes(self.prefix)
        if len(programs) != 1:
            return "error: %d QMZ4.exe of this prefix run" % len(programs)
        return "rss=%d hwm=%d" % (memory_kib(programs[0], "VmRSS"), memory_kib(programs[0], "VmHWM"))

    def kill(self, _):
        victims = program_processes(self.prefix)
        if not victims:
            return "error: no QMZ4.exe of this prefix runs"
        for pid in victims:
            os.kill(pid, signal.SIGKILL)
        return "killed=" + ",".join(str(pid) for pid in victims)

    def links(self, _):
        outside = os.path.join(os.path.dirname(self.mount), "outside")
        os.makedirs(os.path.join(outside, "folder"), exist_ok=True)
        with open(os.path.join(outside, "folder", "inside.txt"), "w") as out:
            out.write("inside the linked folder")
        with open(os.path.join(outside, "target.txt"), "w") as out:
            out.write("the linked file")
        os.symlink("../outside/folder", os.path.join(self.mount, "folder-link"))
        os.symlink("../outside/target.txt", os.path.join(self.mount, "file-link"))
        os.makedirs(os.path.join(self.mount, "linkhome"), exist_ok=True)
        os.symlink("../../outside/target.txt", os.path.join(self.mount, "linkhome", "deep-file-link"))
        return "ok"

    # The loop.
    def serve(self):
        handlers = {
            "check": self.check,
            "free": self.free,
            "tree": self.tree,
            "trash": self.trash,
            "scan": self.scan,
            "sample-start": self.sample_start,
            "sample-stop": self.sample_stop,
            "rss": self.rss,
            "kill": self.kill,
            "links": self.links,
        }
        open(os.path.join(self.channel, "ready"), "w").close()
        deadline = time.time() + 3600
        while time.time() < deadline and not os.path.exists(os.path.join(self.channel, "quit")):
            requests = sorted(n for n in os.listdir(self.channel) if n.endswith(".request"))
            if not requests:
                time.sleep(0.01)
                continue
            name = requests[0][: -len(".request")]
            path = os.path.join(self.channel, requests[0])
            with open(path, "rb") as request:
                text = request.read().decode("utf-8", "replace").replace("\r", "")
            os.unlink(path)
            verb, _, argument = text.partition("\n")
            handler = handlers.get(verb.strip())
            try:
                answer = handler(argument) if handler else "error: unknown verb " + verb
            except Exception as error:  # the test must hear of it, not wait
                answer = "error: %s: %s" % (type(error).__name__, error)
            partial = os.path.join(self.channel, name + ".partial")
            with open(partial, "wb") as out:
                out.write(answer.encode("utf-8"))
            os.rename(partial, os.path.join(self.channel, name + ".answer"))
        if self.sampler is not None:
            self.sampler.stop()


class Sampler(threading.Thread):
    """Polls the image while an erase runs: the least space free to the caller, and the
    uniform values the last page of each fill file took (one per run of equal samples)."""

    def __init__(self, mount, programs):
        super().__init__(daemon=True)
        self.mount = mount
        self.programs = programs
        self.max_rss = 0
        self.quit = threading.Event()
        self.min_avail = None
        self.temps = []
        self.values = []

    def run(self):
        open_files = {}
        last_value = {}
        rss_due = 0
        while not self.quit.is_set():
            if time.time() >= rss_due:
                for pid in self.programs:
                    self.max_rss = max(self.max_rss, memory_kib(pid, "VmRSS"))
                rss_due = time.time() + 0.01
            stats = os.statvfs(self.mount)
            avail = stats.f_bavail * stats.f_frsize
            self.min_avail = avail if self.min_avail is None else min(self.min_avail, avail)
            for name in os.listdir(self.mount):
                if name.lower().startswith(FILL_PREFIX) and name not in open_files:
                    try:
                        open_files[name] = os.open(os.path.join(self.mount, name), os.O_RDONLY)
                    except OSError:
                        continue
                    if name not in self.temps:
                        self.temps.append(name)
            for name, fd in list(open_files.items()):
                info = os.fstat(fd)
                if info.st_nlink == 0:
                    # Held open, a deleted fill file would keep its blocks from the volume.
                    os.close(fd)
                    del open_files[name]
                    continue
                if info.st_size >= 4096:
                    page = os.pread(fd, 4096, info.st_size - 4096)
                    if len(page) == 4096 and page.count(page[0:1]) == 4096:
                        if last_value.get(name) != page[0]:
                            last_value[name] = page[0]
                            self.values.append(page[0])
            time.sleep(0.0005)
        for fd in open_files.values():
            os.close(fd)

    def stop(self):
        self.quit.set()
        self.join()
        return "minavail=%d temps=%s values=%s maxrss=%d" % (
            self.min_avail if self.min_avail is not None else -1,
            ",".join(self.temps),
            ",".join(str(v) for v in self.values),
            self.max_rss,
        )


def count_in_file(path, marker):
    count = 0
    tail = b""
    with open(path, "rb") as data:
        while True:
            block = data.read(4 << 20)
            if not block:
                break
            window = tail + block
            count += window.count(marker)
            # A marker cut by the block boundary is found in the next window; one wholly
            # inside the kept tail was counted already.
            tail = window[-(len(marker) - 1):] if len(marker) > 1 else b""
    return count


def memory_kib(pid, field):
    """A size field of /proc/PID/status in KiB; 0 when the process is gone."""
    try:
        with open("/proc/%d/status" % pid) as status:
            for line in status:
                if line.startswith(field + ":"):
                    return int(line.split()[1])
    except OSError:
        pass
    return 0


def program_processes(prefix):
    """Unix ids of the QMZ4.exe processes that run in Wine prefix PREFIX."""
    found = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open("/proc/%s/comm" % entry) as comm:
                name = comm.read().strip()
            with open("/proc/%s/environ" % entry, "rb") as environ:
                variables = environ.read().split(b"\0")
        except OSError:
            continue
        if name.lower() != "qmz4.exe":
            continue
        prefixes = [v[len(b"WINEPREFIX="):] for v in variables if v.startswith(b"WINEPREFIX=")]
        if any(os.path.realpath(p) == prefix.encode() for p in prefixes):
            found.append(int(entry))
    return found


def main():
    mode = sys.argv[1] if len(sys.argv) > 1 else ""
    if mode == "prepare" and len(sys.argv) == 6:
        wrong = prepare(sys.argv[4], sys.argv[5])
        if wrong is not None:
            print("image_watcher: " + wrong, file=sys.stderr)
            return 1
        return 0
    if mode == "serve" and len(sys.argv) == 7:
        Watcher(*sys.argv[2:7]).serve()
        return 0
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main())
