package cpw.mods.bootstraplauncher;

/** The main class a Forge 1.17+ child manifest names, in the fake game. */
public final class BootstrapLauncher {
    public static void main(String[] args) throws Exception {
        kestrel.fakegame.Recorder.record("cpw.mods.bootstraplauncher.BootstrapLauncher", args);
    }
}
