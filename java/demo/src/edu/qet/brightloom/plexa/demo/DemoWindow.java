package edu.qet.brightloom.plexa.demo;

import java.awt.BorderLayout;
import java.awt.Color;
import java.awt.GraphicsEnvironment;
import java.awt.Rectangle;
import java.awt.event.WindowAdapter;
import java.awt.event.WindowEvent;
import java.awt.image.BufferedImage;
import java.util.ArrayList;
import java.util.LinkedHashMap;
import java.util.List;
import java.util.Map;
import javax.swing.BorderFactory;
import javax.swing.JFrame;
import javax.swing.JLabel;
import javax.swing.JPanel;
import javax.swing.SwingUtilities;
import javax.swing.Timer;

/**
 * The demo's window: a grid of one tile per stream (a row of each first-generation sensor's pictures,
 * the second generation's color at the end of the top row, the second generation's depth-sized streams
 * below them all), each with its name and frame rate under it, and a status strip with the sessions'
 * rates at the bottom.
 * Refreshed 30 times per second.
 */
final class DemoWindow {
    private static final int PREFERRED_PICTURE_HEIGHT = 240;

    private final List<FirstGeneration> firsts;
    private final SecondGeneration second;
    private final JPanel grid = new JPanel(new TileGridLayout(PREFERRED_PICTURE_HEIGHT));
    private final JLabel status = new JLabel(" ");
    private final List<StreamTile> tiles = new ArrayList<>();

    private DemoWindow(List<FirstGeneration> firsts, SecondGeneration second) {
        this.firsts = firsts;
        this.second = second;
        int row = 0;
        for (FirstGeneration first : firsts) {
            tiles.add(new StreamTile(first.fileName("depth"), first.depthStats, row, FirstGeneration.WIDTH,
                    FirstGeneration.HEIGHT));
            tiles.add(new StreamTile(first.fileName("color"), first.colorStats, row, FirstGeneration.WIDTH,
                    FirstGeneration.HEIGHT));
            if (row == 0) {
                tiles.add(new StreamTile("gen2-color", second.colorStats, 0, 1920, 1080));
            }
            row++;
        }
        tiles.add(new StreamTile("gen2-depth", second.depthStats, row, 512, 424));
        tiles.add(new StreamTile("gen2-infrared", second.infraredStats, row, 512, 424));
        tiles.add(new StreamTile("gen2-long-exposure-infrared", second.longExposureStats, row, 512, 424));
        tiles.add(new StreamTile("gen2-body-index", second.bodyIndexStats, row, 512, 424));
        grid.setBackground(Color.BLACK);
        for (StreamTile tile : tiles) {
            grid.add(tile);
        }
        status.setOpaque(true);
        status.setBackground(Color.DARK_GRAY);
        status.setForeground(Color.YELLOW);
        status.setBorder(BorderFactory.createEmptyBorder(3, TileGridLayout.GAP, 3, TileGridLayout.GAP));
    }

    static void show(List<FirstGeneration> firsts, SecondGeneration second, Runnable onClose) {
        SwingUtilities.invokeLater(() -> {
            DemoWindow window = new DemoWindow(firsts, second);
            JFrame frame = new JFrame("Plexa: virtual sensors");
            frame.getContentPane().setLayout(new BorderLayout());
            frame.getContentPane().add(window.grid, BorderLayout.CENTER);
            frame.getContentPane().add(window.status, BorderLayout.SOUTH);
            frame.setDefaultCloseOperation(JFrame.DISPOSE_ON_CLOSE);
            frame.addWindowListener(new WindowAdapter() {
                @Override
                public void windowClosed(WindowEvent e) {
                    onClose.run();
                    System.exit(0);
                }
            });
            window.refresh();
            frame.pack();
            window.fitScreen(frame);
            new Timer(33, e -> window.refresh()).start();
            frame.setVisible(true);
        });
    }

    /** A smaller window when the grid's preferred size would not fit on the screen. */
    private void fitScreen(JFrame frame) {
        Rectangle screen = GraphicsEnvironment.getLocalGraphicsEnvironment().getMaximumWindowBounds();
        if (frame.getWidth() <= screen.width && frame.getHeight() <= screen.height) {
            return;
        }
        int chromeWidth = frame.getWidth() - grid.getWidth();
        int chromeHeight = frame.getHeight() - grid.getHeight();
        int height = TileGridLayout.pictureHeightFitting(grid, screen.width - chromeWidth, screen.height - chromeHeight);
        grid.setLayout(new TileGridLayout(height));
        frame.pack();
    }

    private void refresh() {
        Map<String, BufferedImage> pictures = new LinkedHashMap<>();
        for (FirstGeneration first : firsts) {
            pictures.putAll(first.pictures());
        }
        pictures.putAll(second.pictures());
        boolean reshaped = false;
        for (StreamTile tile : tiles) {
            reshaped |= tile.show(pictures.get(tile.streamName()));
        }
        if (reshaped) {
            grid.revalidate();
        }
        StringBuilder text = new StringBuilder();
        if (firsts.size() == 1) {
            FirstGeneration first = firsts.get(0);
            text.append(String.format("gen1 depth %.1f fps, color %.1f fps, skeleton %.1f fps;  ",
                    first.depthStats.rate(), first.colorStats.rate(), first.skeletonStats.rate()));
        } else {
            // Each tile shows its own rate; the strip, one line for any number of sensors, the slowest of each stream.
            double depth = Double.MAX_VALUE;
            double color = Double.MAX_VALUE;
            double skeleton = Double.MAX_VALUE;
            for (FirstGeneration first : firsts) {
                depth = Math.min(depth, first.depthStats.rate());
                color = Math.min(color, first.colorStats.rate());
                skeleton = Math.min(skeleton, first.skeletonStats.rate());
            }
            text.append(String.format("gen1 %d sensors, slowest: depth %.1f fps, color %.1f fps, skeleton %.1f fps;  ",
                    firsts.size(), depth, color, skeleton));
        }
        status.setText(text.append(String.format("gen2 %.1f fps", second.frameStats.rate())).toString());
    }
}
