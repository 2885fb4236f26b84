"""A card's image served through FUSE, for a loop device to sit on: every write the device
makes passes through here, so the card can write as slowly as a real one, and every write can
be logged in order, to rebuild what the card held at any moment (a card pulled, power cut).

    fuse_card.py IMAGE MOUNT_POINT [--rate BYTES_PER_SECOND] [--journal FILE]

MOUNT_POINT/card.img is IMAGE. With --rate, writes take the time a card of that speed needs,
one after another. With --journal, each write is appended to FILE as its offset and length
(little-endian 64 and 32 bits) and its bytes; reading MOUNT_POINT/restart-journal copies IMAGE
to IMAGE.start and empties FILE, both while no write is under way, so that IMAGE.start and FILE
replay to IMAGE.
"""
import argparse
import errno
import os
import shutil
import stat
import struct
import threading
import time

from fusepy import FUSE, FuseOSError, Operations


class Card(Operations):
    def __init__(self, image, rate, journal):
        self.image = image
        self.fd = os.open(image, os.O_RDWR)
        self.size = os.fstat(self.fd).st_size
        self.rate = rate
        self.journal = open(journal, "ab", buffering=0) if journal else None
        # Not "lock": that name is a FUSE operation.
        self.guard = threading.Lock()

    def restart_journal(self):
        with self.guard:
            shutil.copyfile(self.image, self.image + ".start")
            self.journal.truncate(0)

    def getattr(self, path, fh=None):
        if path == "/":
            return dict(st_mode=stat.S_IFDIR | 0o755, st_nlink=2)
        if path == "/card.img":
            return dict(st_mode=stat.S_IFREG | 0o600, st_nlink=1, st_size=self.size)
        if path == "/restart-journal" and self.journal:
            return dict(st_mode=stat.S_IFREG | 0o400, st_nlink=1, st_size=2)
        raise FuseOSError(errno.ENOENT)

    def readdir(self, path, fh):
        return [".", "..", "card.img"]

    def open(self, path, flags):
        return 0

    def read(self, path, size, offset, fh):
        if path == "/restart-journal":
            if offset == 0:
                self.restart_journal()
            return b"ok"[offset:offset + size]
        return os.pread(self.fd, size, offset)

    def write(self, path, data, offset, fh):
        with self.guard:
            if self.rate:
                time.sleep(len(data) / self.rate)
            os.pwrite(self.fd, data, offset)
            if self.journal:
                self.journal.write(struct.pack("<QI", offset, len(data)) + data)
        return len(data)

    def truncate(self, path, length, fh=None):
        raise FuseOSError(errno.EPERM)

    def fsync(self, path, datasync, fh):
        return 0

    def flush(self, path, fh):
        return 0


if __name__ == "__main__":
    arguments = argparse.ArgumentParser()
    arguments.add_argument("image")
    arguments.add_argument("mount_point")
    arguments.add_argument("--rate", type=float, default=0)
    arguments.add_argument("--journal")
    options = arguments.parse_args()
    FUSE(Card(options.image, options.rate, options.journal), options.mount_point, foreground=True, nothreads=False, direct_io=True,
         fsname="velk-card-image")
