// Java face of the password encoder: the native methods of libMVEncodeCliJNI.so, which calls
// libmvencode.so. Results are the encoder's own: a length, or its negative codes (docs/mvencode.md).
package com.zelbrin.mvencodecli;

public class MVEncodeCli {
    static {
        System.loadLibrary("MVEncodeCliJNI");
    }

    /** Encodes {@code input} with {@code type} and {@code key} into {@code output}; all of
     *  {@code output} is overwritten. A null array counts as an empty one. */
    public static native int MVEncode(int type, byte[] input, byte[] output, byte[] key);

    /** Decodes {@code input} with (decodeType, decodeKey), encodes the clear value with
     *  (encodeType, encodeKey) into {@code output}. */
    public static native int MVReEncode(byte[] input, byte[] output, int decodeType, byte[] decodeKey,
                                        int encodeType, byte[] encodeKey);
}
