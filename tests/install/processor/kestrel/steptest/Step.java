package kestrel.steptest;

import java.io.ByteArrayOutputStream;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.util.HashMap;
import java.util.Map;

// A stand-in for a loader installer's install step:
//   --input FILE --output FILE [--upper] [--append FILE]... [--sleep MS] [--fail]
// copies the input to the output, upper-cased with --upper, followed by the
// bytes of each --append file. It refuses any --task, as a step the launcher
// must not run would have to be refused.
public final class Step {
    public static void main(String[] args) throws Exception {
        Map<String, String> options = new HashMap<>();
        ByteArrayOutputStream appended = new ByteArrayOutputStream();
        boolean upper = false;
        for (int i = 0; i < args.length; ++i) {
            switch (args[i]) {
                case "--upper": upper = true; break;
                case "--fail":
                    System.err.println("step failed on purpose");
                    System.exit(3);
                    break;
                case "--append":
                    appended.write(Files.readAllBytes(Paths.get(args[++i])));
                    break;
                default: options.put(args[i], args[++i]);
            }
        }
        if (options.containsKey("--task")) {
            System.err.println("this step must not run: " + options.get("--task"));
            System.exit(2);
        }
        if (options.containsKey("--sleep")) Thread.sleep(Long.parseLong(options.get("--sleep")));
        byte[] input = Files.readAllBytes(Paths.get(options.get("--input")));
        if (upper) input = Bytes.upper(input);
        Path output = Paths.get(options.get("--output"));
        Files.createDirectories(output.toAbsolutePath().getParent());
        ByteArrayOutputStream all = new ByteArrayOutputStream();
        all.write(input);
        all.write(appended.toByteArray());
        Files.write(output, all.toByteArray());
        System.out.println("wrote " + output);
    }
}
