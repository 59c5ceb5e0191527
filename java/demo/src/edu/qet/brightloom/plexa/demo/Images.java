package edu.qet.brightloom.plexa.demo;

import java.awt.BasicStroke;
import java.awt.Color;
import java.awt.Graphics2D;
import java.awt.RenderingHints;
import java.awt.image.BufferedImage;

/** Turns the arrays the bridges deliver into pictures. */
final class Images {
    private Images() {
    }

    /** Depth in millimetres as false colour: near is red, far is blue, no reading black. */
    static BufferedImage depthFalseColour(short[] depth, int width, int height, int shift) {
        BufferedImage image = new BufferedImage(width, height, BufferedImage.TYPE_INT_RGB);
        int[] pixels = new int[width * height];
        for (int i = 0; i < pixels.length && i < depth.length; i++) {
            int millimetres = (depth[i] & 0xFFFF) >> shift;
            pixels[i] = millimetres == 0 ? 0 : Color.HSBtoRGB(Math.min(1f, millimetres / 5000f) * 0.7f, 0.9f, 1f);
        }
        image.setRGB(0, 0, width, height, pixels, 0, width);
        return image;
    }

    /** 4 bytes per pixel, blue, green, red, unused. */
    static BufferedImage bgra(byte[] bytes, int width, int height) {
        BufferedImage image = new BufferedImage(width, height, BufferedImage.TYPE_INT_RGB);
        int[] pixels = new int[width * height];
        for (int i = 0; i < pixels.length && 4 * i + 2 < bytes.length; i++) {
            int b = bytes[4 * i] & 0xFF;
            int g = bytes[4 * i + 1] & 0xFF;
            int r = bytes[4 * i + 2] & 0xFF;
            pixels[i] = (r << 16) | (g << 8) | b;
        }
        image.setRGB(0, 0, width, height, pixels, 0, width);
        return image;
    }

    /** 16-bit intensities as grey, scaled to the frame's own maximum. */
    static BufferedImage grey16(short[] samples, int width, int height) {
        int max = 1;
        for (short s : samples) {
            max = Math.max(max, s & 0xFFFF);
        }
        BufferedImage image = new BufferedImage(width, height, BufferedImage.TYPE_INT_RGB);
        int[] pixels = new int[width * height];
        for (int i = 0; i < pixels.length && i < samples.length; i++) {
            int v = (int) (255.0 * Math.sqrt((samples[i] & 0xFFFF) / (double) max));
            pixels[i] = (v << 16) | (v << 8) | v;
        }
        image.setRGB(0, 0, width, height, pixels, 0, width);
        return image;
    }

    private static final int[] BODY_COLOURS = {0xE6194B, 0x3CB44B, 0x4363D8, 0xF58231, 0x911EB4, 0x46F0F0};

    /** One byte per pixel: the body slot (0 to 5) or 255 for none. */
    static BufferedImage bodyIndex(byte[] index, int width, int height) {
        BufferedImage image = new BufferedImage(width, height, BufferedImage.TYPE_INT_RGB);
        int[] pixels = new int[width * height];
        for (int i = 0; i < pixels.length && i < index.length; i++) {
            int slot = index[i] & 0xFF;
            pixels[i] = slot < BODY_COLOURS.length ? BODY_COLOURS[slot] : 0x202020;
        }
        image.setRGB(0, 0, width, height, pixels, 0, width);
        return image;
    }

    static Color bodyColour(int slot) {
        return new Color(BODY_COLOURS[slot % BODY_COLOURS.length]);
    }

    /** Bones of a skeleton as pairs of joint indices. */
    static final int[][] BONES_20 = {{0, 1}, {1, 2}, {2, 3}, {2, 4}, {4, 5}, {5, 6}, {6, 7}, {2, 8}, {8, 9},
        {9, 10}, {10, 11}, {0, 12}, {12, 13}, {13, 14}, {14, 15}, {0, 16}, {16, 17}, {17, 18}, {18, 19}};
    static final int[][] BONES_25 = {{0, 1}, {1, 20}, {20, 2}, {2, 3}, {20, 4}, {4, 5}, {5, 6}, {6, 7}, {7, 21},
        {6, 22}, {20, 8}, {8, 9}, {9, 10}, {10, 11}, {11, 23}, {10, 24}, {0, 12}, {12, 13}, {13, 14}, {14, 15},
        {0, 16}, {16, 17}, {17, 18}, {18, 19}};

    /** Projects camera-space joints with a pinhole and draws them over an image. */
    static void drawSkeleton(BufferedImage image, float[] joints, int offset, int jointCount, int[][] bones,
            float fx, float fy, float cx, float cy, Color colour) {
        int[] u = new int[jointCount];
        int[] v = new int[jointCount];
        boolean[] seen = new boolean[jointCount];
        for (int j = 0; j < jointCount; j++) {
            float x = joints[offset + 3 * j];
            float y = joints[offset + 3 * j + 1];
            float z = joints[offset + 3 * j + 2];
            if (z > 0.1f) {
                u[j] = Math.round(cx + fx * x / z);
                v[j] = Math.round(cy - fy * y / z);
                seen[j] = true;
            }
        }
        Graphics2D g = image.createGraphics();
        g.setRenderingHint(RenderingHints.KEY_ANTIALIASING, RenderingHints.VALUE_ANTIALIAS_ON);
        g.setColor(colour);
        g.setStroke(new BasicStroke(Math.max(2f, image.getWidth() / 200f)));
        for (int[] bone : bones) {
            if (seen[bone[0]] && seen[bone[1]]) {
                g.drawLine(u[bone[0]], v[bone[0]], u[bone[1]], v[bone[1]]);
            }
        }
        int r = Math.max(3, image.getWidth() / 120);
        for (int j = 0; j < jointCount; j++) {
            if (seen[j]) {
                g.fillOval(u[j] - r, v[j] - r, 2 * r, 2 * r);
            }
        }
        g.dispose();
    }

    static BufferedImage copy(BufferedImage image) {
        BufferedImage copy = new BufferedImage(image.getWidth(), image.getHeight(), BufferedImage.TYPE_INT_RGB);
        Graphics2D g = copy.createGraphics();
        g.drawImage(image, 0, 0, null);
        g.dispose();
        return copy;
    }
}
