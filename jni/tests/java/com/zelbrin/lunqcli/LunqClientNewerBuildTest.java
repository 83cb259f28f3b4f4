// What only the newer build (libLunqCliJNI) does: options as objects through LUNQClient1, its own
// results for missing texts, GBK through Java's charset and its fixed input areas.
package com.zelbrin.lunqcli;

import static org.junit.Assert.assertArrayEquals;
import static org.junit.Assert.assertEquals;
import static org.junit.Assert.assertNull;
import static org.junit.Assert.assertTrue;

import java.util.Arrays;
import org.junit.After;
import org.junit.Before;
import org.junit.Test;

public class LunqClientNewerBuildTest {
    private int h;

    @Before
    public void connect() throws Exception {
        h = EmulatorConnection.connect();
    }

    @After
    public void close() {
        EmulatorConnection.close(h);
    }

    private static tagLUNQConnectOption entry(String name, String address, int port) {
        tagLUNQConnectOption o = new tagLUNQConnectOption();
        o.szServerName = name;
        o.szAddress = address;
        o.nPort = port;
        o.nProtocal = 1;
        o.szSendQName = "S." + name;
        o.szReceiveQName = "R." + name;
        return o;
    }

    private static String repeat(char c, int n) {
        char[] a = new char[n];
        Arrays.fill(a, c);
        return new String(a);
    }

    @Test
    public void serverListAsAnArrayOfObjectsGivesBackTheEntriesInUse() {
        IntHolder holder = new IntHolder();
        assertEquals(0, LUNQClient.LUNQCLI_Init(holder));
        int c = holder.x;
        Object[] list = {entry("a", "10.0.0.1", 1001), entry("b", "10.0.0.2", 1002), new tagLUNQConnectOption()};
        assertEquals(0, LUNQClient1.LUNQCLI_SetOption(c, 0, list));
        Object[] got = (Object[]) LUNQClient1.LUNQCLI_GetOption(c, 0);
        assertEquals(2, got.length);
        tagLUNQConnectOption second = (tagLUNQConnectOption) got[1];
        assertEquals("b", second.szServerName);
        assertEquals("10.0.0.2", second.szAddress);
        assertEquals(1002, second.nPort);
        assertEquals("S.b", second.szSendQName);
        assertEquals("R.b", second.szReceiveQName);
        assertEquals("", second.szReserved);

        // an entry not in use between two in use is left out, not the entries after it
        Object[] gap = {entry("a", "h1", 1), new tagLUNQConnectOption(), entry("c", "h3", 3)};
        assertEquals(0, LUNQClient1.LUNQCLI_SetOption(c, 0, gap));
        got = (Object[]) LUNQClient1.LUNQCLI_GetOption(c, 0);
        assertEquals(2, got.length);
        assertEquals("c", ((tagLUNQConnectOption) got[1]).szServerName);

        assertEquals(1, LUNQClient1.LUNQCLI_SetOption(c, 0, "not an array"));
        assertEquals(0, LUNQClient.LUNQCLI_Exit(c));
    }

    @Test
    public void aFullListOfSixteenEntriesBothWays() {
        // sixteen objects with seven fields each: more local references than a native frame holds
        // unless the bridge frees them as it goes (-Xcheck:jni reports the excess)
        Object[] list = new Object[16];
        for (int i = 0; i < list.length; i++) {
            list[i] = entry("s" + i, "10.0.1." + i, 2000 + i);
        }
        IntHolder holder = new IntHolder();
        assertEquals(0, LUNQClient.LUNQCLI_Init(holder));
        assertEquals(0, LUNQClient1.LUNQCLI_SetOption(holder.x, 0, list));
        Object[] got = (Object[]) LUNQClient1.LUNQCLI_GetOption(holder.x, 0);
        assertEquals(16, got.length);
        for (int i = 0; i < got.length; i++) {
            tagLUNQConnectOption o = (tagLUNQConnectOption) got[i];
            assertEquals("s" + i, o.szServerName);
            assertEquals(2000 + i, o.nPort);
        }
        assertEquals(0, LUNQClient.LUNQCLI_Exit(holder.x));
    }

    @Test
    public void extendedEntriesCarryProxyAndSsl() {
        tagLUNQConnectOptionEx ex = new tagLUNQConnectOptionEx();
        ex.szServerName = "x";
        ex.szAddress = "host";
        ex.nPort = 77;
        ex.szProxy = repeat('p', 130);   // cut to 128
        ex.szSSL = "";
        IntHolder holder = new IntHolder();
        assertEquals(0, LUNQClient.LUNQCLI_Init(holder));
        int c = holder.x;
        assertEquals(0, LUNQClient1.LUNQCLI_SetOption(c, 12, new Object[] {ex}));
        Object[] got = (Object[]) LUNQClient1.LUNQCLI_GetOption(c, 12);
        assertEquals(1, got.length);
        tagLUNQConnectOptionEx back = (tagLUNQConnectOptionEx) got[0];
        assertEquals(repeat('p', 128), back.szProxy);
        assertEquals(77, back.nPort);

        assertEquals(0, LUNQClient1.LUNQCLI_SetOption(c, 13, ex));
        back = (tagLUNQConnectOptionEx) LUNQClient1.LUNQCLI_GetOption(c, 13);
        assertEquals("host", back.szAddress);
        tagLUNQConnectOption current = (tagLUNQConnectOption) LUNQClient1.LUNQCLI_GetOption(c, 7);
        assertEquals("x", current.szServerName);
        assertEquals(0, LUNQClient.LUNQCLI_Exit(c));
    }

    @Test
    public void recordBuildingStopsAtTheFirstMissingField() {
        // an object with the first two fields only: the server name is taken, then building ends
        Object partial = new Object() {
            @SuppressWarnings("unused") public String szServerName = "partial";
            @SuppressWarnings("unused") public int nPort = 99;   // comes after szAddress: not reached
        };
        IntHolder holder = new IntHolder();
        assertEquals(0, LUNQClient.LUNQCLI_Init(holder));
        assertEquals(0, LUNQClient1.LUNQCLI_SetOption(holder.x, 7, partial));
        tagLUNQConnectOption got = (tagLUNQConnectOption) LUNQClient1.LUNQCLI_GetOption(holder.x, 7);
        assertEquals("partial", got.szServerName);
        assertEquals(0, got.nPort);
        assertEquals(0, LUNQClient.LUNQCLI_Exit(holder.x));
    }

    @Test
    public void integerOptions() {
        assertEquals(0, LUNQClient1.LUNQCLI_SetOption(h, 1, Integer.valueOf(33)));
        assertEquals(Integer.valueOf(33), LUNQClient1.LUNQCLI_GetOption(h, 1));
        assertEquals(1, LUNQClient1.LUNQCLI_SetOption(h, 1, "33"));   // not an Integer: no value
        assertNull(LUNQClient1.LUNQCLI_GetOption(-9, 1));
    }

    @Test
    public void missingTextsGiveTheBridgesOwnResults() {
        assertEquals(-1, LUNQClient.LUNQCLI_SetValue(h, "", "v"));
        assertEquals(-1, LUNQClient.LUNQCLI_SetValue(h, null, "v"));
        assertEquals(-1, LUNQClient.LUNQCLI_SetSystemParam(h, 7, ""));
        assertEquals(-1, LUNQClient.LUNQCLI_SetSystemParam(-9, 7, null));   // no call, so no handle check
        IntHolder status = new IntHolder(55);
        assertNull(LUNQClient.LUNQCLI_RsGetValByName(h, "", status));
        assertEquals(55, status.x);   // no call was made
        assertEquals(-3001, LUNQClient.LUNQCLI_SetValue(-9, "N", "v"));
        // a value-returning read that stores nothing gives its own argument back
        assertEquals(-9, LUNQClient.LUNQCLI_GetVersion(-9));
        assertEquals(4, LUNQClient.LUNQCLI_RsGetTableRowNum(-9, 4));
    }

    @Test
    public void gbkTextBothWaysAndTheSetValueAreas() throws Exception {
        String chinese = "\u4e2d\u6587\u503c";  // 中文值
        String value = repeat('a', 31999);
        assertEquals(0, LUNQClient.LUNQCLI_BeginWrite(h));
        assertEquals(0, LUNQClient.LUNQCLI_SetValue(h, "CN", chinese));
        assertEquals(0, LUNQClient.LUNQCLI_SetValue(h, "FITS", value));          // fills its area exactly
        assertEquals(0, LUNQClient.LUNQCLI_SetValue(h, "OVER", value + "b"));    // one byte over: cut
        assertEquals(0, LUNQClient.LUNQCLI_SetVal(h, "GBKNAME\u540d", new byte[] {9}, 1));
        assertEquals(0, LUNQClient.LUNQCLI_CallProgram(h, "blob"));   // binary value only
        IntHolder status = new IntHolder();
        assertArrayEquals(new byte[] {9}, LUNQClient.LUNQCLI_GetVal(h, "GBKNAME\u540d", status));

        assertEquals(0, LUNQClient.LUNQCLI_BeginWrite(h));
        assertEquals(0, LUNQClient.LUNQCLI_SetValue(h, "CN", chinese));
        assertEquals(0, LUNQClient.LUNQCLI_CallProgram(h, "echo"));
        assertArrayEquals(chinese.getBytes("GBK"), LUNQClient.LUNQCLI_GetVal(h, "CN", status));
        assertEquals(chinese, LUNQClient.LUNQCLI_GetValue(h, "CN", 100));

        // one long value per call: each takes an answer part of its own
        for (String sent : new String[] {value, value + "b"}) {
            assertEquals(0, LUNQClient.LUNQCLI_BeginWrite(h));
            assertEquals(0, LUNQClient.LUNQCLI_SetValue(h, "V", sent));
            assertEquals(0, LUNQClient.LUNQCLI_CallProgram(h, "echo"));
            assertTrue(value.equals(LUNQClient.LUNQCLI_GetValue(h, "V", 32000)));   // 31999 bytes fit, one more is cut
        }
    }

    @Test
    public void asynchronousCommitTakesTheControlFields() {
        assertEquals(0, LUNQClient.LUNQCLI_BeginWrite(h));
        assertEquals(0, LUNQClient.LUNQCLI_SetValue(h, "NAME", "x"));
        tagLUNQAsyncCall control = new tagLUNQAsyncCall();
        control.nExpiry = 30;
        assertEquals(0, LUNQClient.LUNQCLI_ACallProgramAndCommit(h, "echo", control));
        assertTrue(control.szMsgId.length() > 0);
        control.nExpiry = 10;
        assertEquals(0, LUNQClient.LUNQCLI_GetReply(h, control));
        assertEquals("x", LUNQClient.LUNQCLI_GetValue(h, "NAME", 10));
    }
}
