#!/usr/bin/python3
"""Reads what pairs a PDB with its exe.

usage: scripts/pdbinfo.py show FILE.pdb

The PDB is an MSF 7.00 file: a superblock, a stream directory whose blocks a
block map lists, and streams in blocks. Stream 1, the PDB info stream,
starts with its version, then the 32-bit signature, the age and the GUID.
A debugger pairs the PDB with the exe's CodeView entry by the GUID and age."""
import struct
import sys

MAGIC = b"Microsoft C/C++ MSF 7.00\r\n\x1aDS\0\0\0"
PDB_INFO_STREAM = 1


def info_stream_offset(data):
    if not data.startswith(MAGIC):
        raise SystemExit("not an MSF 7.00 file")
    block_size, _, _, directory_bytes, _, block_map = struct.unpack_from("<6I", data, len(MAGIC))
    count = -(-directory_bytes // block_size)
    directory_blocks = struct.unpack_from(f"<{count}I", data, block_map * block_size)
    directory = b"".join(data[b * block_size:(b + 1) * block_size] for b in directory_blocks)
    streams = struct.unpack_from("<I", directory)[0]
    sizes = struct.unpack_from(f"<{streams}I", directory, 4)
    # The block lists follow the sizes, stream after stream; an unused
    # stream (size 0xFFFFFFFF) has none.
    offset = 4 + 4 * streams
    for stream in range(PDB_INFO_STREAM):
        size = sizes[stream]
        offset += 0 if size == 0xFFFFFFFF else 4 * -(-size // block_size)
    if sizes[PDB_INFO_STREAM] < 12:
        raise SystemExit("the PDB info stream is too short")
    first_block = struct.unpack_from("<I", directory, offset)[0]
    return first_block * block_size


def info(path):
    """(signature, age, GUID as its 16 bytes, in the order the exe's
    CodeView entry stores them)."""
    data = open(path, "rb").read()
    offset = info_stream_offset(data)
    _, signature, age = struct.unpack_from("<3I", data, offset)
    return signature, age, data[offset + 12:offset + 28]


def main():
    if sys.argv[1:2] == ["show"] and len(sys.argv) == 3:
        signature, age, guid = info(sys.argv[2])
        print(f"signature {signature}, age {age}, GUID {guid.hex()}")
    else:
        raise SystemExit(__doc__)


if __name__ == "__main__":
    main()
