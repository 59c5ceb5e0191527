package edu.qet.brightloom.plexa.demo;

import java.awt.BorderLayout;
import java.awt.Color;
import java.awt.Graphics;
import java.awt.image.BufferedImage;
import javax.swing.JComponent;
import javax.swing.JLabel;
import javax.swing.JPanel;

/** One stream in the demo window: its latest picture, and below it the stream's name and frame rate. */
final class StreamTile extends JPanel {
    private static final long serialVersionUID = 1L;

    private final String name;
    private final transient StreamStats stats;
    private final int row;
    private final ImagePane imagePane = new ImagePane();
    private final JLabel label = new JLabel();
    private double aspect;

    /** A tile in grid row {@code row}, shaped like a {@code width} x {@code height} image until one arrives. */
    StreamTile(String name, StreamStats stats, int row, int width, int height) {
        super(new BorderLayout());
        this.name = name;
        this.stats = stats;
        this.row = row;
        this.aspect = width / (double) height;
        setOpaque(false);
        label.setForeground(Color.WHITE);
        add(imagePane, BorderLayout.CENTER);
        add(label, BorderLayout.SOUTH);
        refreshLabel();
    }

    String streamName() {
        return name;
    }

    int row() {
        return row;
    }

    /** Width over height of the stream's pictures. */
    double aspect() {
        return aspect;
    }

    JComponent imagePane() {
        return imagePane;
    }

    JLabel label() {
        return label;
    }

    /** Frames of the tile's stream that have arrived. */
    long frames() {
        return stats.frames();
    }

    /** True once the tile has drawn a picture of its stream. */
    boolean hasPaintedImage() {
        return imagePane.painted;
    }

    /**
     * Shows the stream's latest picture (null while none has arrived) and its current rate.
     * Returns true when the picture's shape differs from the tile's, so the grid must be laid out again.
     */
    boolean show(BufferedImage image) {
        refreshLabel();
        imagePane.image = image;
        imagePane.repaint();
        if (image == null) {
            return false;
        }
        double imageAspect = image.getWidth() / (double) image.getHeight();
        if (Math.abs(imageAspect - aspect) < 1e-6) {
            return false;
        }
        aspect = imageAspect;
        return true;
    }

    private void refreshLabel() {
        label.setText(String.format("%s  %.1f fps", name, stats.rate()));
    }

    /** Draws the picture over its whole area; the grid gives the area the picture's shape. */
    private static final class ImagePane extends JComponent {
        private static final long serialVersionUID = 1L;
        private transient BufferedImage image;
        private volatile boolean painted;

        @Override
        protected void paintComponent(Graphics g) {
            BufferedImage shown = image;
            if (shown == null) {
                g.setColor(Color.DARK_GRAY);
                g.fillRect(0, 0, getWidth(), getHeight());
                return;
            }
            g.drawImage(shown, 0, 0, getWidth(), getHeight(), null);
            painted = true;
        }
    }
}
