// One suite for both builds of the client-interface bridge (run once per native library): what
// they share, and where they differ, the expectation of the build under test.
package com.zelbrin.lunqcli;

import static org.junit.Assert.assertArrayEquals;
import static org.junit.Assert.assertEquals;
import static org.junit.Assert.assertNotEquals;
import static org.junit.Assert.assertNull;
import static org.junit.Assert.assertTrue;

import java.nio.charset.StandardCharsets;
import java.util.Arrays;
import org.junit.After;
import org.junit.Before;
import org.junit.Test;

public class LunqClientConformanceTest {
    private static final boolean NEWER = EmulatorConnection.newerBuild();
    private int h;

    @Before
    public void connect() throws Exception {
        h = EmulatorConnection.connect();
    }

    @After
    public void close() {
        EmulatorConnection.close(h);
    }

    private static String repeat(char c, int n) {
        char[] a = new char[n];
        Arrays.fill(a, c);
        return new String(a);
    }

    private void call(String program) {
        assertEquals(program, 0, LUNQClient.LUNQCLI_CallProgram(h, program));
    }

    @Test
    public void initStoresTheHandleInTheHolderAndABadHandleIsRefused() {
        IntHolder holder = new IntHolder(-7);
        assertEquals(0, LUNQClient.LUNQCLI_Init(holder));
        assertTrue(holder.x > 0 && holder.x != h);
        assertEquals(0, LUNQClient.LUNQCLI_Exit(holder.x));
        assertEquals(-3001, LUNQClient.LUNQCLI_BeginWrite(holder.x));   // released
        assertEquals(-3001, LUNQClient.LUNQCLI_CallProgram(-5, "echo"));
        // a holder that cannot take the handle: nothing is left behind to leak
        assertEquals(1, LUNQClient.LUNQCLI_Init(null));
        assertEquals(1, LUNQClient.LUNQCLI_Init("no field x"));
    }

    @Test
    public void connectOptionComesBackFieldByField() {
        IntHolder holder = new IntHolder();
        assertEquals(0, LUNQClient.LUNQCLI_Init(holder));
        tagLUNQConnectOption set = new tagLUNQConnectOption();
        set.szServerName = "srv1";
        set.nProtocal = 1;
        set.szAddress = "10.1.2.3";
        set.nPort = 6380;
        set.szSendQName = "SEND.Q";
        set.szReceiveQName = "RECV.Q";
        set.szReserved = "grp";
        assertEquals(0, LUNQClient.LUNQCLI_SetConnectOption(holder.x, set));
        tagLUNQConnectOption got = new tagLUNQConnectOption();
        assertEquals(0, LUNQClient.LUNQCLI_GetConnectOption(holder.x, got));
        assertEquals("srv1", got.szServerName);
        assertEquals(1, got.nProtocal);
        assertEquals("10.1.2.3", got.szAddress);
        assertEquals(6380, got.nPort);
        assertEquals("SEND.Q", got.szSendQName);
        assertEquals("RECV.Q", got.szReceiveQName);
        assertEquals("grp", got.szReserved);

        // texts are cut to their 32-character fields
        set.szServerName = repeat('s', 40);
        assertEquals(0, LUNQClient.LUNQCLI_SetConnectOption(holder.x, set));
        assertEquals(0, LUNQClient.LUNQCLI_GetConnectOption(holder.x, got));
        assertEquals(repeat('s', 32), got.szServerName);
        assertEquals(0, LUNQClient.LUNQCLI_Exit(holder.x));
    }

    @Test
    public void systemParameterSevenAndIntOptions() {
        assertEquals(0, LUNQClient.LUNQCLI_SetSystemParam(h, 7, "svc.prefix"));
        StringBuffer sb = new StringBuffer("before:");
        assertEquals(0, LUNQClient.LUNQCLI_GetSystemParam(h, 7, sb));
        assertEquals("before:svc.prefix", sb.toString());
        assertEquals(2, LUNQClient.LUNQCLI_GetSystemParam(h, 99, new StringBuffer()));  // unknown id

        assertEquals(0, LUNQClient.LUNQCLI_SetIntOption(h, 1, 45));
        assertEquals(45, LUNQClient.LUNQCLI_GetIntOption(h, 1));
        assertEquals(0, LUNQClient.LUNQCLI_SetCliTimeOut(h, 30));
        assertEquals(30, LUNQClient.LUNQCLI_GetIntOption(h, 1));
    }

    @Test
    public void valuesThroughTheEmulatorIncludingChineseText() throws Exception {
        assertEquals(0, LUNQClient.LUNQCLI_BeginWrite(h));
        assertEquals(0, LUNQClient.LUNQCLI_SetValue(h, "NAME", "plain"));
        assertEquals(0, LUNQClient.LUNQCLI_SetValue(h, "CN", "\u8bc1\u5238\u4ee3\u7801"));  // 证券代码
        assertEquals(0, LUNQClient.LUNQCLI_SetValue(h, "EMPTY", null));
        call("echo");
        assertEquals("plain", LUNQClient.LUNQCLI_GetValue(h, "NAME", 100));
        assertEquals("\u8bc1\u5238\u4ee3\u7801", LUNQClient.LUNQCLI_GetValue(h, "CN", 100));
        assertEquals("", LUNQClient.LUNQCLI_GetValue(h, "EMPTY", 100));
        assertEquals("pla", LUNQClient.LUNQCLI_GetValue(h, "NAME", 3));   // the caller's length
        // the bytes on the wire: GBK in the newer build, the locale's codeset in the older
        IntHolder status = new IntHolder(-1);
        byte[] raw = LUNQClient.LUNQCLI_GetVal(h, "CN", status);
        assertEquals(0, status.x);
        assertArrayEquals("\u8bc1\u5238\u4ee3\u7801".getBytes(NEWER ? "GBK" : System.getProperty("native.encoding")),
                          raw);
    }

    @Test
    public void valueAsLongAsTheNewerBuildsInputAreaComesBackWhole() {
        String value = repeat('v', 31999);
        assertEquals(0, LUNQClient.LUNQCLI_BeginWrite(h));
        assertEquals(0, LUNQClient.LUNQCLI_SetValue(h, "LONG", value));
        call("echo");
        assertTrue(value.equals(LUNQClient.LUNQCLI_GetValue(h, "LONG", 32000)));
        assertEquals(31998, LUNQClient.LUNQCLI_GetValue(h, "LONG", 31998).length());   // the caller's length
    }

    @Test
    public void tablesWrittenAndWalked() {
        assertEquals(0, LUNQClient.LUNQCLI_BeginWrite(h));
        assertEquals(0, LUNQClient.LUNQCLI_RsCreate(h, "t1", 2, "code,name"));
        for (int r = 1; r <= 3; r++) {
            assertEquals(0, LUNQClient.LUNQCLI_RsAddRow(h));
            assertEquals(0, LUNQClient.LUNQCLI_RsSetCol(h, 1, "c" + r));
            assertEquals(0, LUNQClient.LUNQCLI_RsSetColByName(h, "name", "n" + r));
            assertEquals(0, LUNQClient.LUNQCLI_RsSaveRow(h));
        }
        call("echo");
        assertEquals(0, LUNQClient.LUNQCLI_RsOpen(h));
        IntHolder columns = new IntHolder();
        assertEquals(0, LUNQClient.LUNQCLI_RsGetColNum(h, columns));
        assertEquals(2, columns.x);
        assertEquals("t1", LUNQClient.LUNQCLI_RsGetCursorName(h, 100));
        assertEquals("code", LUNQClient.LUNQCLI_RsGetColName(h, 1, 100));
        assertEquals("name", LUNQClient.LUNQCLI_SQLGetColName(h, 2, 100));
        assertEquals("code,name", LUNQClient.LUNQCLI_RsGetColNames(h, 100));
        assertEquals(3, LUNQClient.LUNQCLI_RsGetTableRowNum(h, 1));
        assertEquals(2, LUNQClient.LUNQCLI_RsGetTableColNum(h, 1));
        for (int r = 1; r <= 3; r++) {
            assertEquals(0, LUNQClient.LUNQCLI_RsFetchRow(h));
            assertEquals("c" + r, LUNQClient.LUNQCLI_RsGetCol(h, 1));
            assertEquals("n" + r, LUNQClient.LUNQCLI_RsGetColByName(h, "name"));
        }
        assertEquals(1, LUNQClient.LUNQCLI_RsFetchRow(h));
        assertEquals(1, LUNQClient.LUNQCLI_RsMore(h));
        assertEquals(0, LUNQClient.LUNQCLI_RsClose(h));
    }

    @Test
    public void longCellsComeBackWhole() {
        assertEquals(0, LUNQClient.LUNQCLI_BeginWrite(h));
        assertEquals(0, LUNQClient.LUNQCLI_SetValue(h, "ROWS", "2"));
        assertEquals(0, LUNQClient.LUNQCLI_SetValue(h, "COLS", "1"));   // a row holds at most 12191 characters
        assertEquals(0, LUNQClient.LUNQCLI_SetValue(h, "CELLLEN", "12000"));
        call("rows");
        assertEquals(0, LUNQClient.LUNQCLI_RsOpen(h));
        assertEquals(0, LUNQClient.LUNQCLI_RsFetchRow(h));
        String cell = LUNQClient.LUNQCLI_RsGetCol(h, 1);
        assertEquals(12000, cell.length());
        assertTrue(cell.startsWith("r1c1xxx"));
        assertTrue(cell.equals(LUNQClient.LUNQCLI_RsGetColByName(h, "c1")));
        IntHolder status = new IntHolder(-1);
        assertEquals(12000, LUNQClient.LUNQCLI_RsGetVal(h, 1, status).length);
        assertEquals(0, status.x);
    }

    @Test
    public void binaryValuesBothWays() {
        byte[] data = new byte[5000];
        for (int i = 0; i < data.length; i++) {
            data[i] = (byte) (i * 7);
        }
        assertEquals(0, LUNQClient.LUNQCLI_BeginWrite(h));
        assertEquals(0, LUNQClient.LUNQCLI_SetVal(h, "BIN", data, data.length));
        assertEquals(0, LUNQClient.LUNQCLI_SetVal(h, "HEAD", data, 10));
        // a length past the array is cut to the array
        assertEquals(0, LUNQClient.LUNQCLI_SetVal(h, "CUT", new byte[] {1, 2, 3}, 1000));
        call("blob");
        IntHolder status = new IntHolder(-1);
        assertArrayEquals(data, LUNQClient.LUNQCLI_GetVal(h, "BIN", status));
        assertEquals(0, status.x);
        assertArrayEquals(Arrays.copyOf(data, 10), LUNQClient.LUNQCLI_GetVal(h, "HEAD", status));
        assertArrayEquals(new byte[] {1, 2, 3}, LUNQClient.LUNQCLI_GetVal(h, "CUT", status));
        assertNull(LUNQClient.LUNQCLI_GetVal(h, "MISSING", status));
        assertEquals(13, status.x);
    }

    @Test
    public void binaryCellsOfATable() {
        byte[] cell = {0, 1, 2, (byte) 0xfe, 0};
        assertEquals(0, LUNQClient.LUNQCLI_BeginWrite(h));
        assertEquals(0, LUNQClient.LUNQCLI_RsCreate(h, "b", 2, "id,payload"));
        assertEquals(0, LUNQClient.LUNQCLI_RsAddRow(h));
        assertEquals(0, LUNQClient.LUNQCLI_RsSetCol(h, 1, "one"));
        assertEquals(0, LUNQClient.LUNQCLI_RsSetValByName(h, "payload", cell, cell.length));
        assertEquals(0, LUNQClient.LUNQCLI_RsSaveRow(h));
        assertEquals(0, LUNQClient.LUNQCLI_RsAddRow(h));
        assertEquals(0, LUNQClient.LUNQCLI_RsSetCol(h, 1, "two"));
        assertEquals(0, LUNQClient.LUNQCLI_RsSetVal(h, 2, cell, 2));
        assertEquals(0, LUNQClient.LUNQCLI_RsSaveRow(h));
        call("echo");
        assertEquals(0, LUNQClient.LUNQCLI_RsOpen(h));
        IntHolder status = new IntHolder(-1);
        assertEquals(0, LUNQClient.LUNQCLI_RsFetchRow(h));
        assertArrayEquals(cell, LUNQClient.LUNQCLI_RsGetValByName(h, "payload", status));
        assertEquals(0, status.x);
        assertEquals(0, LUNQClient.LUNQCLI_RsFetchRow(h));
        assertArrayEquals(new byte[] {0, 1}, LUNQClient.LUNQCLI_RsGetVal(h, 2, status));
        assertNull(LUNQClient.LUNQCLI_RsGetValByName(h, "nosuch", status));
        assertEquals(1, status.x);
    }

    @Test
    public void failedCallsReportCodeAndMessage() {
        assertEquals(0, LUNQClient.LUNQCLI_BeginWrite(h));
        assertEquals(0, LUNQClient.LUNQCLI_SetValue(h, "CODE", "-4711"));
        assertEquals(0, LUNQClient.LUNQCLI_SetValue(h, "MSG", "account locked"));
        assertEquals(-4711, LUNQClient.LUNQCLI_CallProgram(h, "fail"));
        assertEquals(-4711, LUNQClient.LUNQCLI_GetErrorCode(h));
        assertEquals("account locked", LUNQClient.LUNQCLI_GetErrorMsg(h));

        // no "_ERRNO" in the answer: the code is not stored, and each build gives its own default
        assertEquals(0, LUNQClient.LUNQCLI_BeginWrite(h));
        call("echo");
        assertEquals(NEWER ? h : 0, LUNQClient.LUNQCLI_GetErrorCode(h));
        assertEquals("", LUNQClient.LUNQCLI_GetErrorMsg(h));
    }

    @Test
    public void asynchronousCallAndReply() {
        assertEquals(0, LUNQClient.LUNQCLI_BeginWrite(h));
        assertEquals(0, LUNQClient.LUNQCLI_SetValue(h, "NAME", "later"));
        tagLUNQAsyncCall control = new tagLUNQAsyncCall();
        control.szMsgId = "taken by no build";
        assertEquals(0, LUNQClient.LUNQCLI_ACallProgram(h, "echo", control));
        // the four fields written back: message id, server entry, correlation, time sent
        assertEquals(24, control.szMsgId.length());
        assertEquals(EmulatorConnection.SERVER, control.szId);
        assertEquals("0", control.szCorrId);
        long now = System.currentTimeMillis() / 1000;
        assertTrue(Math.abs(now - (control.tTimeStamp & 0xffffffffL)) < 600);
        control.nExpiry = 10;   // the reply's wait, in seconds
        if (NEWER) {
            assertEquals(0, LUNQClient.LUNQCLI_GetReply(h, control));
            assertEquals("later", LUNQClient.LUNQCLI_GetValue(h, "NAME", 100));
        } else {
            // the older build passes on no server entry (szId), which lunqcli requires of a reply
            assertEquals(50, LUNQClient.LUNQCLI_GetReply(h, control));
        }
        assertEquals(0, LUNQClient.LUNQCLI_Cancel(h, "the control object is not used"));
    }

    @Test
    public void transactionCommitsThroughTheBridge() {
        assertEquals(0, LUNQClient.LUNQCLI_BeginWrite(h));
        assertEquals(0, LUNQClient.LUNQCLI_SetValue(h, "KEY", "k-" + h));
        assertEquals(0, LUNQClient.LUNQCLI_SetValue(h, "VALUE", "stored"));
        assertEquals(0, LUNQClient.LUNQCLI_CallProgramAndCommit(h, "kv.put"));
        assertEquals(0, LUNQClient.LUNQCLI_BeginWrite(h));
        assertEquals(0, LUNQClient.LUNQCLI_SetValue(h, "KEY", "k-" + h));
        call("kv.get");
        assertEquals("stored", LUNQClient.LUNQCLI_GetValue(h, "VALUE", 100));
        assertNotEquals(0, LUNQClient.LUNQCLI_GetCommLen(h));
    }
}
