#!/usr/bin/python3
"""Draws the panel's banner (banner.bmp): the Vexo logo with its name and a
line of credits, 156 x 224 pixels, 8 bits a pixel with a 256-colour palette,
as the panel paints it. Run it from anywhere to regenerate the picture:

    /usr/bin/python3 resources/make_banner.py
"""
import os

from PIL import Image, ImageDraw, ImageFont

WIDTH, HEIGHT = 156, 224
HERE = os.path.dirname(os.path.abspath(__file__))
FONT_DIR = "/usr/share/fonts/truetype/dejavu"


def font(name, size):
    try:
        return ImageFont.truetype(os.path.join(FONT_DIR, name), size)
    except OSError:
        return ImageFont.load_default()


def centred(draw, y, text, face, fill):
    left, _, right, _ = draw.textbbox((0, 0), text, font=face)
    draw.text(((WIDTH - (right - left)) // 2 - left, y), text, font=face, fill=fill)


def main():
    image = Image.new("RGB", (WIDTH, HEIGHT))
    draw = ImageDraw.Draw(image)

    # Night-blue to rust, the colours of the game's first episode.
    for y in range(HEIGHT):
        t = y / (HEIGHT - 1)
        draw.line([(0, y), (WIDTH, y)],
                  fill=(int(18 + 70 * t), int(22 + 18 * t), int(48 - 30 * t)))

    # The mark: a faceted V, like a low-polygon model seen from the front.
    cx, top = WIDTH // 2, 22
    outer = [(cx - 52, top), (cx - 28, top), (cx, top + 70), (cx + 28, top), (cx + 52, top),
             (cx, top + 110)]
    draw.polygon(outer, fill=(214, 120, 38))
    draw.polygon([(cx - 52, top), (cx - 28, top), (cx, top + 70), (cx, top + 110)],
                 fill=(245, 170, 60))
    draw.line(outer + [outer[0]], fill=(60, 24, 8), width=2)
    for x, y in [(cx - 40, top), (cx, top + 70), (cx + 40, top), (cx, top + 110)]:
        draw.ellipse([x - 3, y - 3, x + 3, y + 3], fill=(255, 236, 180))

    centred(draw, 140, "Vexo", font("DejaVuSans-Bold.ttf", 36), (250, 240, 220))
    centred(draw, 184, "Quake 2 model export", font("DejaVuSans.ttf", 11), (220, 200, 170))
    centred(draw, 200, "by the Vexo developers", font("DejaVuSans.ttf", 10), (190, 170, 150))

    banner = image.quantize(colors=256, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)
    banner.save(os.path.join(HERE, "banner.bmp"))


if __name__ == "__main__":
    main()
