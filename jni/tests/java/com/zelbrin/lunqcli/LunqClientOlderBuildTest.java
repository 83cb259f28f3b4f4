// What only the older build (liblunqclijni) does: text in the process locale's codeset, names and
// values without fixed input areas, and 0 from a value-returning read that stores nothing.
package com.zelbrin.lunqcli;

import static org.junit.Assert.assertArrayEquals;
import static org.junit.Assert.assertEquals;

import java.nio.charset.StandardCharsets;
import java.util.Arrays;
import org.junit.After;
import org.junit.Before;
import org.junit.Test;

public class LunqClientOlderBuildTest {
    private int h;

    @Before
    public void connect() throws Exception {
        h = EmulatorConnection.connect();
    }

    @After
    public void close() {
        EmulatorConnection.close(h);
    }

    @Test
    public void textIsTheLocalesCodesetAndValuesAreNotCut() {
        // run under a UTF-8 locale (the test sets LC_ALL), so the codeset is UTF-8
        String chinese = "\u4e2d\u6587\u503c";
        char[] longValue = new char[40000];
        Arrays.fill(longValue, 'q');
        assertEquals(0, LUNQClient.LUNQCLI_BeginWrite(h));
        assertEquals(0, LUNQClient.LUNQCLI_SetValue(h, "CN", chinese));
        assertEquals(0, LUNQClient.LUNQCLI_CallProgram(h, "echo"));
        IntHolder status = new IntHolder();
        assertArrayEquals(chinese.getBytes(StandardCharsets.UTF_8), LUNQClient.LUNQCLI_GetVal(h, "CN", status));
        assertEquals(chinese, LUNQClient.LUNQCLI_GetValue(h, "CN", 100));

        assertEquals(0, LUNQClient.LUNQCLI_BeginWrite(h));
        assertEquals(0, LUNQClient.LUNQCLI_SetValue(h, "LONG", new String(longValue)));
        assertEquals(0, LUNQClient.LUNQCLI_CallProgram(h, "echo"));
        assertEquals(40000, LUNQClient.LUNQCLI_GetVal(h, "LONG", status).length);
        // the answer-value area holds 32000 bytes: a longer value is cut there
        assertEquals(32000, LUNQClient.LUNQCLI_GetValue(h, "LONG", 50000).length());
    }

    @Test
    public void missingTextsGoToLunqcli() {
        assertEquals(-3001, LUNQClient.LUNQCLI_SetValue(-9, "", "v"));    // the call is made
        assertEquals(-3001, LUNQClient.LUNQCLI_SetSystemParam(-9, 7, null));
        assertEquals(0, LUNQClient.LUNQCLI_GetVersion(-9));
        assertEquals(0, LUNQClient.LUNQCLI_RsGetTableRowNum(-9, 4));
    }
}
