package kestrel.fakegame;

import java.io.IOException;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.util.ArrayList;
import java.util.List;
import java.util.stream.Stream;

/**
 * The fake game's one job: write down how it was started, as JSON, to the
 * file named by the system property kestrel.record or by the argument after
 * "--record", then exit with the status named by "--exit" (0 by default).
 *
 * With the argument "--window" (or the system property kestrel.window) it
 * stays after writing the record and opens a window titled "Fake Game", as
 * the real game does once it has started; it then runs until it is ended,
 * or for two minutes at most, so a test that fails never leaves it behind.
 * With "--linger" it stays as long, without a window (a game still loading).
 */
public final class Recorder {
    private Recorder() {}

    public static void record(String mainClass, String[] args) throws IOException {
        String target = System.getProperty("kestrel.record");
        int exitStatus = 0;
        boolean window = System.getProperty("kestrel.window") != null;
        boolean linger = false;
        for (String arg : args) {
            if (arg.equals("--window")) window = true;
            if (arg.equals("--linger")) linger = true;
        }
        for (int i = 0; i + 1 < args.length; i++) {
            if (args[i].equals("--record")) target = args[i + 1];
            if (args[i].equals("--exit")) exitStatus = Integer.parseInt(args[i + 1]);
        }
        if (target == null) {
            System.err.println("fake game: no --record FILE and no -Dkestrel.record");
            System.exit(3);
        }
        StringBuilder json = new StringBuilder("{");
        member(json, "main", mainClass).append(',');
        json.append("\"args\":[");
        for (int i = 0; i < args.length; i++) {
            if (i > 0) json.append(',');
            string(json, args[i]);
        }
        json.append("],");
        member(json, "cwd", Paths.get("").toAbsolutePath().toString()).append(',');
        String[] properties = {"java.library.path", "java.class.path", "jdk.module.path", "java.version",
                               "minecraft.launcher.brand", "minecraft.launcher.version", "FabricMcEmu",
                               "ignoreList", "libraryDirectory", "log4j.configurationFile"};
        json.append("\"properties\":{");
        boolean first = true;
        for (String name : properties) {
            String value = System.getProperty(name);
            if (value == null) continue;
            if (!first) json.append(',');
            first = false;
            member(json, name, value);
        }
        json.append("},\"natives\":[");
        first = true;
        for (String file : nativesFiles()) {
            if (!first) json.append(',');
            first = false;
            string(json, file);
        }
        json.append("]}");
        Files.write(Paths.get(target), json.toString().getBytes(StandardCharsets.UTF_8));
        if (window) {
            openWindow();
            return;
        }
        if (linger) {
            try {
                Thread.sleep(120_000);
            } catch (InterruptedException ignored) {
                // ending early is fine
            }
        }
        System.exit(exitStatus);
    }

    private static void openWindow() {
        java.awt.Frame frame = new java.awt.Frame("Fake Game");
        frame.setSize(320, 240);
        frame.addWindowListener(new java.awt.event.WindowAdapter() {
            @Override
            public void windowClosing(java.awt.event.WindowEvent event) {
                System.exit(0);
            }
        });
        frame.setVisible(true);
        Thread limit = new Thread(() -> {
            try {
                Thread.sleep(120_000);
            } catch (InterruptedException ignored) {
                // ending early is fine
            }
            System.exit(0);
        });
        limit.setDaemon(true);
        limit.start();
    }

    // The files below the first folder of java.library.path, as relative
    // paths with "/".
    private static List<String> nativesFiles() throws IOException {
        List<String> names = new ArrayList<>();
        String libraryPath = System.getProperty("java.library.path", "");
        String first = libraryPath.split(java.io.File.pathSeparator, -1)[0];
        if (first.isEmpty()) return names;
        Path folder = Paths.get(first);
        if (!Files.isDirectory(folder)) return names;
        try (Stream<Path> walk = Files.walk(folder)) {
            walk.filter(Files::isRegularFile)
                .map(p -> folder.relativize(p).toString().replace(java.io.File.separatorChar, '/'))
                .sorted()
                .forEach(names::add);
        }
        return names;
    }

    private static StringBuilder member(StringBuilder json, String name, String value) {
        string(json, name);
        json.append(':');
        return string(json, value);
    }

    private static StringBuilder string(StringBuilder json, String text) {
        json.append('"');
        for (int i = 0; i < text.length(); i++) {
            char c = text.charAt(i);
            if (c == '"' || c == '\\') {
                json.append('\\').append(c);
            } else if (c < 0x20) {
                json.append(String.format("\\u%04x", (int) c));
            } else {
                json.append(c);
            }
        }
        return json.append('"');
    }
}
