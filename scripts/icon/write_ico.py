"""Writes a 32 x 32 RGBA picture (raw bytes on stdin) as a 16-colour .ico.

A pixel at least half opaque is drawn; the rest is left to the mask. The
picture must already hold at most 16 colours among its drawn pixels.
"""
import struct
import sys

SIZE = 32


def main(out_path):
    data = sys.stdin.buffer.read()
    if len(data) != SIZE * SIZE * 4:
        sys.exit(f"expected {SIZE * SIZE * 4} bytes of RGBA, got {len(data)}")
    pixels = [data[i:i + 4] for i in range(0, len(data), 4)]
    drawn = [p[3] >= 128 for p in pixels]
    palette = sorted({bytes(p[:3]) for p, d in zip(pixels, drawn) if d})
    if len(palette) > 16:
        sys.exit(f"{len(palette)} colours; at most 16 fit")
    palette += [b"\0\0\0"] * (16 - len(palette))
    index = {c: i for i, c in enumerate(palette)}

    # Rows run bottom-up; each row of either bitmap fills whole 32-bit words.
    xor = bytearray()
    mask = bytearray()
    for y in reversed(range(SIZE)):
        row = [index[bytes(pixels[y * SIZE + x][:3])] if drawn[y * SIZE + x] else 0
               for x in range(SIZE)]
        xor += bytes((row[x] << 4) | row[x + 1] for x in range(0, SIZE, 2))
        bits = 0
        for x in range(SIZE):
            bits = (bits << 1) | (0 if drawn[y * SIZE + x] else 1)
        mask += bits.to_bytes(SIZE // 8, "big")

    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 4, 0,
                         len(xor) + len(mask), 0, 0, 16, 0)
    colours = b"".join(bytes((c[2], c[1], c[0], 0)) for c in palette)
    image = header + colours + bytes(xor) + bytes(mask)
    directory = struct.pack("<HHH", 0, 1, 1) + struct.pack(
        "<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image), 6 + 16)
    with open(out_path, "wb") as f:
        f.write(directory + image)


if __name__ == "__main__":
    main(sys.argv[1])
