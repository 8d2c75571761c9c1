#!/usr/bin/env python3
"""make-zip.py ARCHIVE FOLDER: the folder's files in a zip that is the same bytes for the same files
(sorted names, one fixed time stamp, no extra fields), so that a release can be rebuilt and compared."""
import sys
import zipfile
from pathlib import Path

archive, folder = Path(sys.argv[1]), Path(sys.argv[2])
entries = sorted(p for p in folder.rglob("*") if p.is_file())
with zipfile.ZipFile(archive, "w", compression=zipfile.ZIP_DEFLATED, compresslevel=9) as out:
    for path in entries:
        info = zipfile.ZipInfo(path.relative_to(folder).as_posix(), date_time=(1980, 1, 1, 0, 0, 0))
        info.compress_type = zipfile.ZIP_DEFLATED
        info.external_attr = 0o644 << 16
        info.create_system = 0  # as if made on Windows: no Unix extra data
        out.writestr(info, path.read_bytes(), compresslevel=9)
