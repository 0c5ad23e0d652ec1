package net.minecraft.client.main;

/** The vanilla main class of the fake game. */
public final class Main {
    public static void main(String[] args) throws Exception {
        kestrel.fakegame.Recorder.record("net.minecraft.client.main.Main", args);
    }
}
