package edu.qet.brightloom.plexa.demo;

import java.awt.Color;
import java.awt.Dimension;
import java.awt.Graphics;
import java.awt.GridLayout;
import java.awt.event.WindowAdapter;
import java.awt.event.WindowEvent;
import java.awt.image.BufferedImage;
import java.util.LinkedHashMap;
import java.util.Map;
import javax.swing.JFrame;
import javax.swing.JPanel;
import javax.swing.SwingUtilities;
import javax.swing.Timer;

/** A window with one tile per stream, repainted 30 times per second, with frame rates. */
final class DemoWindow extends JPanel {
    private static final long serialVersionUID = 1L;
    private final transient FirstGeneration first;
    private final transient SecondGeneration second;

    private DemoWindow(FirstGeneration first, SecondGeneration second) {
        this.first = first;
        this.second = second;
        setPreferredSize(new Dimension(1280, 720));
        setBackground(Color.BLACK);
    }

    static void show(FirstGeneration first, SecondGeneration second, Runnable onClose) {
        SwingUtilities.invokeLater(() -> {
            JFrame frame = new JFrame("Plexa: virtual sensors");
            DemoWindow panel = new DemoWindow(first, second);
            frame.setLayout(new GridLayout(1, 1));
            frame.add(panel);
            frame.pack();
            frame.setDefaultCloseOperation(JFrame.DISPOSE_ON_CLOSE);
            frame.addWindowListener(new WindowAdapter() {
                @Override
                public void windowClosed(WindowEvent e) {
                    onClose.run();
                    System.exit(0);
                }
            });
            new Timer(33, e -> panel.repaint()).start();
            frame.setVisible(true);
        });
    }

    @Override
    protected void paintComponent(Graphics g) {
        super.paintComponent(g);
        Map<String, BufferedImage> pictures = new LinkedHashMap<>(first.pictures());
        pictures.putAll(second.pictures());
        int columns = 4;
        int rows = Math.max(1, (pictures.size() + columns - 1) / columns);
        int tileWidth = getWidth() / columns;
        int tileHeight = getHeight() / rows - 20;
        int i = 0;
        for (Map.Entry<String, BufferedImage> picture : pictures.entrySet()) {
            BufferedImage image = picture.getValue();
            double scale = Math.min(tileWidth / (double) image.getWidth(), tileHeight / (double) image.getHeight());
            int x = (i % columns) * tileWidth;
            int y = (i / columns) * (tileHeight + 20);
            g.drawImage(image, x, y, (int) (image.getWidth() * scale), (int) (image.getHeight() * scale), null);
            g.setColor(Color.WHITE);
            g.drawString(picture.getKey(), x + 4, y + tileHeight + 14);
            i++;
        }
        g.setColor(Color.YELLOW);
        g.drawString(String.format("gen1 depth %.1f fps, color %.1f fps, skeleton %.1f fps;  gen2 %.1f fps",
                first.depthStats.rate(), first.colorStats.rate(), first.skeletonStats.rate(),
                second.frameStats.rate()), 8, getHeight() - 6);
    }
}
