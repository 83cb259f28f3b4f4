// MVEncodeCli against libmvencode.so, with the JDK's DES, AES and Base64 as independent oracles
// where the encoding is a standard one.
package com.zelbrin.mvencodecli;

import static org.junit.Assert.assertArrayEquals;
import static org.junit.Assert.assertEquals;
import static org.junit.Assert.assertNotEquals;
import static org.junit.Assert.assertTrue;

import java.nio.charset.StandardCharsets;
import java.util.Arrays;
import java.util.Base64;
import javax.crypto.Cipher;
import javax.crypto.spec.SecretKeySpec;
import org.junit.Test;

public class MVEncodeCliTest {
    private static byte[] b(String s) {
        return s.getBytes(StandardCharsets.US_ASCII);
    }

    private static byte[] ecb(String algorithm, byte[] key, byte[] block) throws Exception {
        Cipher c = Cipher.getInstance(algorithm + "/ECB/NoPadding");
        c.init(Cipher.ENCRYPT_MODE, new SecretKeySpec(key, algorithm));
        return c.doFinal(block);
    }

    // The text an encoder wrote into out, up to its terminator.
    private static String text(byte[] out, int n) {
        assertEquals("terminator after the text", 0, out[n]);
        return new String(out, 0, n, StandardCharsets.US_ASCII);
    }

    // Decodes with (type, key) through MVReEncode into Base64, so every reversible type's clear
    // value can be read back from Java.
    private static byte[] clearValue(byte[] encoded, int type, byte[] key, int clearLength) {
        byte[] out = new byte[4 * ((clearLength + 2) / 3) + 64];
        int n = MVEncodeCli.MVReEncode(encoded, out, type, key, 4, null);
        assertTrue("re-encode result " + n, n > 0);
        return Base64.getDecoder().decode(text(out, n));
    }

    @Test
    public void desIsStandardDesUnderTheCompletedKey() throws Exception {
        byte[] in = b("password");
        byte[] out = new byte[8];
        assertEquals(8, MVEncodeCli.MVEncode(1, in, out, b("k")));
        // a one-byte key overwrites the start of the default key block "PlumFen4"
        assertArrayEquals(ecb("DES", b("klumFen4"), in), out);
        assertArrayEquals(in, clearValue(out, 1, b("k"), 8));
    }

    @Test
    public void aesIsStandardAesForASixteenByteKey() throws Exception {
        byte[] key = b("0123456789abcdef");
        byte[] in = b("sixteen byte pwd");
        byte[] out = new byte[16];
        assertEquals(16, MVEncodeCli.MVEncode(3, in, out, key));
        assertArrayEquals(ecb("AES", key, in), out);
        assertArrayEquals(in, clearValue(out, 3, key, 16));
    }

    @Test
    public void digestIsSixteenBytesAndOneWay() {
        byte[] a = new byte[16];
        byte[] again = new byte[16];
        byte[] other = new byte[16];
        assertEquals(16, MVEncodeCli.MVEncode(2, b("password"), a, null));
        assertEquals(16, MVEncodeCli.MVEncode(2, b("password"), again, b("keys are ignored")));
        assertEquals(16, MVEncodeCli.MVEncode(2, b("passwore"), other, null));
        assertArrayEquals(a, again);
        assertNotEquals(Arrays.toString(a), Arrays.toString(other));
        assertEquals(-10000, MVEncodeCli.MVReEncode(a, new byte[64], 2, null, 4, null));
    }

    @Test
    public void base64MatchesTheJdkAndTheWholeOutputArrayIsCopiedBack() {
        byte[] out = new byte[16];
        Arrays.fill(out, (byte) 0x55);
        assertEquals(4, MVEncodeCli.MVEncode(4, b("abc"), out, null));
        byte[] expected = new byte[16];  // the zero-filled area behind the result comes back too
        System.arraycopy(b("YWJj"), 0, expected, 0, 4);
        assertArrayEquals(expected, out);

        byte[] bytes = {0, (byte) 0xff, 10, (byte) 0x80, 0};  // zero bytes are data, not an end
        byte[] out2 = new byte[9];
        assertEquals(8, MVEncodeCli.MVEncode(4, bytes, out2, null));
        assertEquals(Base64.getEncoder().encodeToString(bytes), text(out2, 8));
    }

    @Test
    public void characterCipherWritesLettersAndReadsTheInputAsText() {
        byte[] out = new byte[41];
        int n = MVEncodeCli.MVEncode(5, b("abc123XYZ99"), out, b("key"));
        assertEquals(40, n);  // 20 letters per started group of 10 characters
        assertTrue(text(out, n).matches("[A-P]{40}"));
        assertArrayEquals(b("abc123XYZ99"), clearValue(Arrays.copyOf(out, n), 5, b("key"), 11));
    }

    @Test
    public void aes256CbcGivesItsKnownText() {
        byte[] out = new byte[25];
        // a key of fewer than 32 bytes is read as a text: the bridge's copy must end in a zero
        int n = MVEncodeCli.MVEncode(6, b("secret"), out, b("pass phrase"));
        assertEquals("PVo0afmaNz6pBeVJmtXbcQ==", text(out, n));
        byte[] clear = clearValue(Arrays.copyOf(out, n), 6, b("pass phrase"), 16);
        assertEquals("secret", new String(clear, StandardCharsets.US_ASCII).replace("\0", ""));
    }

    @Test
    public void emptyAndNullArraysReachTheEncoderAsNullPointers() {
        byte[] out = new byte[16];
        assertEquals(-1, MVEncodeCli.MVEncode(4, new byte[0], out, null));   // no input block
        assertEquals(-1, MVEncodeCli.MVEncode(4, null, out, null));
        assertEquals(-1, MVEncodeCli.MVEncode(4, b("abc"), null, null));      // output size 0
        assertEquals(0, MVEncodeCli.MVEncode(99, b("abc"), out, null));       // unknown type
        byte[] des = new byte[8];
        assertEquals(8, MVEncodeCli.MVEncode(1, b("password"), des, b("PlumFen4")));
        // an empty decode key is a null key, which DES decoding refuses
        assertEquals(-1, MVEncodeCli.MVReEncode(des, new byte[64], 1, new byte[0], 4, null));
        assertEquals(12, MVEncodeCli.MVReEncode(des, new byte[64], 1, b("PlumFen4"), 4, new byte[0]));
    }

    @Test
    public void resultTooLongForTheOutputArrayIsRefusedWithTheBlankAreaCopiedBack() {
        byte[] out = new byte[3];
        Arrays.fill(out, (byte) 7);
        assertEquals(-1, MVEncodeCli.MVEncode(4, b("abc"), out, null));
        assertArrayEquals(new byte[3], out);  // the encoder left the zero-filled area alone
    }
}
