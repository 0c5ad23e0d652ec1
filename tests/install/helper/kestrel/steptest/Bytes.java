package kestrel.steptest;

// A library on the install step's classpath: the step cannot run without it.
public final class Bytes {
    private Bytes() {}

    public static byte[] upper(byte[] input) {
        byte[] out = input.clone();
        for (int i = 0; i < out.length; ++i) {
            if (out[i] >= 'a' && out[i] <= 'z') out[i] = (byte) (out[i] - 'a' + 'A');
        }
        return out;
    }
}
