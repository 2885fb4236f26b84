"""A mounted share whose server is gone: every question about it waits until the process ends.

    dead_share.py <mount point>

Mounts in the foreground as file system type fuse.sshfs (a network share to the drive lists),
source "server:/gone". Killing the process ends the mount's waits with an error.
"""
import sys
import threading

from fusepy import FUSE, Operations


class DeadShare(Operations):
    def _wait(self, *args):
        threading.Event().wait()

    getattr = statfs = readdir = access = open = _wait


if __name__ == "__main__":
    FUSE(DeadShare(), sys.argv[1], foreground=True, nothreads=False, fsname="server:/gone",
         subtype="sshfs", allow_other=False)
