package edu.qet.brightloom.plexa.demo;

import java.awt.Component;
import java.awt.Container;
import java.awt.Frame;
import java.awt.Graphics2D;
import java.awt.Rectangle;
import java.awt.event.WindowEvent;
import java.awt.image.BufferedImage;
import java.io.File;
import java.util.ArrayList;
import java.util.List;
import java.util.concurrent.atomic.AtomicReference;
import javax.imageio.ImageIO;
import javax.swing.JFrame;
import javax.swing.JLabel;
import javax.swing.SwingUtilities;

/**
 * Opens the demo's window (under a virtual display) and checks it through Swing: every tile paints
 * a picture within two seconds of its stream's first frames being there; no label overlaps another label or a picture;
 * each label sits directly below its picture; all pictures share one height and keep their stream's
 * shape; the status strip lies below the grid; the window is as wide as its content; and all of that
 * again after the window is made smaller. Writes what the smaller window shows to OUTPUT_DIR/window.png,
 * prints "window check passed" and closes the window, or
 * prints "FAILED: ..." and exits 1.
 * Usage: DemoWindowCheck OUTPUT_DIR
 */
public final class DemoWindowCheck {
    private DemoWindowCheck() {
    }

    public static void main(String[] args) {
        try {
            run(new File(args[0]));
        } catch (Exception e) {
            e.printStackTrace();
            fail("the check threw " + e);
        }
    }

    private static void run(File output) throws Exception {
        output.mkdirs();
        Demo.main(new String[] {"--output", output.getPath()});
        JFrame frame = waitFor("the window to show", 20_000, DemoWindowCheck::showingFrame);
        List<StreamTile> tiles = onEdt(() -> tiles(frame));
        if (tiles.size() != 7) {
            fail("expected 7 tiles, found " + tiles.size());
        }
        // The two seconds are the window's: they start once every stream has delivered a frame, so
        // that a sensor slow to start on a loaded machine does not count against the window.
        waitFor("a frame of every stream", 60_000, () -> unfed(tiles).isEmpty() ? Boolean.TRUE : null,
                () -> "no frame yet: " + unfed(tiles));
        waitFor("every tile to paint a picture", 2_000, () -> unpainted(tiles).isEmpty() ? Boolean.TRUE : null,
                () -> "not painted: " + unpainted(tiles));
        onEdt(() -> {
            int width = frame.getContentPane().getWidth();
            check(frame, tiles, "as opened");
            int right = 0;
            for (StreamTile tile : tiles) {
                right = Math.max(right, tile.getX() + tile.getWidth());
            }
            if (right < width - 3 * TileGridLayout.GAP) {
                fail("the grid ends at x " + right + " in a window " + width + " wide");
            }
            return null;
        });
        int heightBefore = onEdt(() -> tiles.get(0).imagePane().getHeight());
        onEdt(() -> {
            frame.setSize(frame.getWidth() * 3 / 5, frame.getHeight() * 3 / 5);
            frame.validate();
            return null;
        });
        onEdt(() -> {
            check(frame, tiles, "made smaller");
            int heightAfter = tiles.get(0).imagePane().getHeight();
            if (heightAfter >= heightBefore) {
                fail("the pictures did not shrink with the window: " + heightBefore + " then " + heightAfter);
            }
            return null;
        });
        onEdt(() -> {
            Container content = frame.getContentPane();
            BufferedImage picture = new BufferedImage(content.getWidth(), content.getHeight(), BufferedImage.TYPE_INT_RGB);
            Graphics2D g = picture.createGraphics();
            content.paint(g);
            g.dispose();
            ImageIO.write(picture, "png", new File(output, "window.png"));
            return null;
        });
        System.out.println("window check passed");
        SwingUtilities.invokeLater(() -> frame.dispatchEvent(new WindowEvent(frame, WindowEvent.WINDOW_CLOSING)));
    }

    private static void check(JFrame frame, List<StreamTile> tiles, String when) {
        Container root = frame.getRootPane();
        List<Rectangle> labels = new ArrayList<>();
        List<String> names = new ArrayList<>();
        for (JLabel label : labels(frame.getContentPane())) {
            labels.add(SwingUtilities.convertRectangle(label.getParent(), label.getBounds(), root));
            names.add(label.getText());
        }
        for (int i = 0; i < labels.size(); i++) {
            for (int j = i + 1; j < labels.size(); j++) {
                if (labels.get(i).intersects(labels.get(j))) {
                    fail(when + ": label '" + names.get(i) + "' overlaps '" + names.get(j) + "'");
                }
            }
        }
        int pictureHeight = tiles.get(0).imagePane().getHeight();
        int gridBottom = 0;
        Rectangle content = SwingUtilities.convertRectangle(frame.getContentPane().getParent(),
                frame.getContentPane().getBounds(), root);
        for (StreamTile tile : tiles) {
            Rectangle picture = SwingUtilities.convertRectangle(tile, tile.imagePane().getBounds(), root);
            Rectangle label = SwingUtilities.convertRectangle(tile, tile.label().getBounds(), root);
            String name = tile.streamName();
            if (picture.height != pictureHeight || picture.height < 1) {
                fail(when + ": " + name + " is " + picture.height + " high, the first tile " + pictureHeight);
            }
            if (Math.abs(picture.width - picture.height * tile.aspect()) > 1.0) {
                fail(when + ": " + name + " is " + picture.width + " x " + picture.height + ", its stream's shape "
                        + tile.aspect());
            }
            if (label.y != picture.y + picture.height || label.x != picture.x) {
                fail(when + ": the label of " + name + " is not directly below its picture");
            }
            if (!content.contains(picture) || !content.contains(label)) {
                fail(when + ": " + name + " lies outside the window");
            }
            for (int i = 0; i < labels.size(); i++) {
                if (labels.get(i).intersects(picture)) {
                    fail(when + ": label '" + names.get(i) + "' overlaps the picture of " + name);
                }
            }
            gridBottom = Math.max(gridBottom, label.y + label.height);
        }
        for (int i = 0; i < labels.size(); i++) {
            if (names.get(i).startsWith("gen1 depth") && labels.get(i).y < gridBottom) {
                fail(when + ": the status line is not in a strip of its own below the tiles");
            }
        }
    }

    private static List<JLabel> labels(Container container) {
        List<JLabel> labels = new ArrayList<>();
        for (Component component : container.getComponents()) {
            if (component instanceof JLabel && component.isShowing()) {
                labels.add((JLabel) component);
            }
            if (component instanceof Container) {
                labels.addAll(labels((Container) component));
            }
        }
        return labels;
    }

    private static List<StreamTile> tiles(Container container) {
        List<StreamTile> tiles = new ArrayList<>();
        for (Component component : container.getComponents()) {
            if (component instanceof StreamTile) {
                tiles.add((StreamTile) component);
            } else if (component instanceof Container) {
                tiles.addAll(tiles((Container) component));
            }
        }
        return tiles;
    }

    private static List<String> unfed(List<StreamTile> tiles) {
        List<String> names = new ArrayList<>();
        for (StreamTile tile : tiles) {
            if (tile.frames() == 0) {
                names.add(tile.streamName());
            }
        }
        return names;
    }

    private static List<String> unpainted(List<StreamTile> tiles) {
        List<String> names = new ArrayList<>();
        for (StreamTile tile : tiles) {
            if (!tile.hasPaintedImage()) {
                names.add(tile.streamName());
            }
        }
        return names;
    }

    private static JFrame showingFrame() {
        for (Frame frame : Frame.getFrames()) {
            if (frame instanceof JFrame && frame.isShowing()) {
                return (JFrame) frame;
            }
        }
        return null;
    }

    interface Probe<T> {
        T get() throws Exception;
    }

    private static <T> T onEdt(Probe<T> probe) throws Exception {
        AtomicReference<T> result = new AtomicReference<>();
        AtomicReference<Exception> error = new AtomicReference<>();
        SwingUtilities.invokeAndWait(() -> {
            try {
                result.set(probe.get());
            } catch (Exception e) {
                error.set(e);
            }
        });
        if (error.get() != null) {
            throw error.get();
        }
        return result.get();
    }

    private static <T> T waitFor(String what, long millis, Probe<T> probe) throws Exception {
        return waitFor(what, millis, probe, () -> "");
    }

    private static <T> T waitFor(String what, long millis, Probe<T> probe, Probe<String> detail) throws Exception {
        long deadline = System.nanoTime() + millis * 1_000_000L;
        while (true) {
            T value = onEdt(probe);
            if (value != null) {
                return value;
            }
            if (System.nanoTime() > deadline) {
                fail("waited " + millis + " ms for " + what + " " + onEdt(detail));
            }
            Thread.sleep(10);
        }
    }

    private static void fail(String message) {
        System.out.println("FAILED: " + message);
        System.out.flush();
        Runtime.getRuntime().halt(1);
    }
}
