package edu.qet.brightloom.plexa.demo;

import edu.qet.brightloom.plexa.Plexa1;
import java.awt.image.BufferedImage;
import java.util.LinkedHashMap;
import java.util.Map;

/** A first-generation session: depth with UV and XYZ, color and skeletons, kept as the latest frame of each. */
final class FirstGeneration extends Plexa1 {
    static final int WIDTH = 640;
    static final int HEIGHT = 480;
    // The depth camera's pinhole at 640 x 480, as the bridge uses it for XYZ.
    private static final float FOCAL = WIDTH * 285.63f / 320.0f;
    private static final float CX = WIDTH * 0.5f - 0.5f;
    private static final float CY = HEIGHT * 0.5f - 0.5f;

    final StreamStats depthStats = new StreamStats("first generation depth (with UV, XYZ)");
    final StreamStats colorStats = new StreamStats("first generation color");
    final StreamStats skeletonStats = new StreamStats("first generation skeleton");

    private short[] depth;
    private byte[] color;
    private boolean[] tracked;
    private float[] positions;
    private boolean uvSeen;
    private boolean xyzSeen;

    @Override
    public void onDepthFrameEventFromNative(short[] depth, float[] xyz, float[] uv) {
        synchronized (this) {
            this.depth = depth;
            uvSeen |= uv != null;
            xyzSeen |= xyz != null;
        }
        depthStats.frameArrived();
    }

    @Override
    public void onVideoFrameEventFromNative(byte[] bgrx) {
        synchronized (this) {
            color = bgrx;
        }
        colorStats.frameArrived();
    }

    @Override
    public void onSkeletonFrameEventFromNative(boolean[] tracked, float[] positions, byte[] states) {
        synchronized (this) {
            this.tracked = tracked;
            this.positions = positions;
        }
        skeletonStats.frameArrived();
    }

    synchronized boolean mappingsSeen() {
        return uvSeen && xyzSeen;
    }

    /** The latest picture of each stream, skeletons drawn over them. */
    synchronized Map<String, BufferedImage> pictures() {
        Map<String, BufferedImage> pictures = new LinkedHashMap<>();
        if (depth != null) {
            pictures.put("gen1-depth", overlay(Images.depthFalseColour(depth, WIDTH, HEIGHT, 3)));
        }
        if (color != null) {
            pictures.put("gen1-color", overlay(Images.bgra(color, WIDTH, HEIGHT)));
        }
        return pictures;
    }

    private BufferedImage overlay(BufferedImage image) {
        if (tracked == null || positions == null) {
            return image;
        }
        for (int slot = 0; slot < tracked.length; slot++) {
            if (tracked[slot]) {
                Images.drawSkeleton(image, positions, 4 + 60 * slot, 20, Images.BONES_20, FOCAL, FOCAL, CX, CY,
                        Images.bodyColour(slot));
            }
        }
        return image;
    }
}
