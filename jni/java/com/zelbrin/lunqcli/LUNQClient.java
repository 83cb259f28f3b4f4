// The business-platform client interface for Java: native methods implemented by
// libLunqCliJNI.so (the newer build, the default) or liblunqclijni.so (the older build, chosen with
// -Dcom.zelbrin.lunqcli.library=lunqclijni). docs/java.md describes every method.
package com.zelbrin.lunqcli;

public class LUNQClient {
    /** The system property that names the native library to load. */
    public static final String LIBRARY_PROPERTY = "com.zelbrin.lunqcli.library";

    static {
        System.loadLibrary(System.getProperty(LIBRARY_PROPERTY, "LunqCliJNI"));
    }

    // ---- handle and errors
    /** Creates a client; its handle goes into holder.x. */
    public static native int LUNQCLI_Init(Object holder);
    public static native int LUNQCLI_Exit(int handle);
    public static native int LUNQCLI_GetVersion(int handle);
    public static native int LUNQCLI_GetErrorCode(int handle);
    public static native String LUNQCLI_GetErrorMsg(int handle);

    // ---- options and connecting
    public static native int LUNQCLI_SetConnectOption(int handle, Object option);
    public static native int LUNQCLI_GetConnectOption(int handle, Object option);
    public static native int LUNQCLI_SetIntOption(int handle, int id, int value);
    public static native int LUNQCLI_GetIntOption(int handle, int id);
    public static native int LUNQCLI_SetSystemParam(int handle, int id, String value);
    public static native int LUNQCLI_GetSystemParam(int handle, int id, StringBuffer value);
    public static native int LUNQCLI_SetCliTimeOut(int handle, int seconds);
    public static native int LUNQCLI_GetCommLen(int handle);
    public static native int LUNQCLI_ConnectServer(int handle, String server, String user, String password);
    public static native int LUNQCLI_SQLConnect(int handle, String server, String user, String password);
    public static native int LUNQCLI_DisConnect(int handle);
    public static native int LUNQCLI_DisConnectForce(int handle);
    public static native int LUNQCLI_SQLDisconnect(int handle);

    // ---- calls and transactions
    public static native int LUNQCLI_BeginWrite(int handle);
    public static native int LUNQCLI_CallProgram(int handle, String program);
    public static native int LUNQCLI_CallProgramAndCommit(int handle, String program);
    public static native int LUNQCLI_SQLExecute(int handle, String program);
    public static native int LUNQCLI_ACallProgram(int handle, String program, Object control);
    public static native int LUNQCLI_ACallProgramAndCommit(int handle, String program, Object control);
    public static native int LUNQCLI_GetReply(int handle, Object control);
    /** The control object is not used. */
    public static native int LUNQCLI_Cancel(int handle, Object control);
    public static native int LUNQCLI_Commit(int handle);
    public static native int LUNQCLI_RollBack(int handle);
    public static native int LUNQCLI_SQLEndTran(int handle, int type);
    public static native int LUNQCLI_SQLCloseCursor(int handle);

    // ---- request values and tables
    public static native int LUNQCLI_SetValue(int handle, String name, String value);
    public static native int LUNQCLI_SetVal(int handle, String name, byte[] data, int length);
    public static native int LUNQCLI_RsCreate(int handle, String cursor, int columns, String names);
    public static native int LUNQCLI_RsNewTable(int handle, String cursor, int columns, String names);
    public static native int LUNQCLI_RsAddRow(int handle);
    public static native int LUNQCLI_RsSetCol(int handle, int column, String value);
    public static native int LUNQCLI_RsSetColByName(int handle, String name, String value);
    public static native int LUNQCLI_RsSetVal(int handle, int column, byte[] data, int length);
    public static native int LUNQCLI_RsSetValByName(int handle, String name, byte[] data, int length);
    public static native int LUNQCLI_RsSaveRow(int handle);

    // ---- answer values and result sets
    public static native String LUNQCLI_GetValue(int handle, String name, int length);
    /** The bytes of a value (null when there are none); holder.x receives the status. */
    public static native byte[] LUNQCLI_GetVal(int handle, String name, Object holder);
    public static native int LUNQCLI_RsOpen(int handle);
    public static native int LUNQCLI_RsMore(int handle);
    public static native int LUNQCLI_SQLMoreResults(int handle);
    public static native int LUNQCLI_SQLNumResultCols(int handle);
    public static native int LUNQCLI_RsFetchRow(int handle);
    public static native int LUNQCLI_SQLFetch(int handle);
    public static native String LUNQCLI_RsGetCol(int handle, int column);
    public static native String LUNQCLI_RsGetColByName(int handle, String name);
    public static native byte[] LUNQCLI_RsGetVal(int handle, int column, Object holder);
    public static native byte[] LUNQCLI_RsGetValByName(int handle, String name, Object holder);
    public static native String LUNQCLI_RsGetColName(int handle, int column, int length);
    public static native String LUNQCLI_SQLGetColName(int handle, int column, int length);
    public static native String LUNQCLI_RsGetColNames(int handle, int length);
    public static native String LUNQCLI_SQLGetColNames(int handle, int length);
    /** The column count goes into holder.x. */
    public static native int LUNQCLI_RsGetColNum(int handle, Object holder);
    public static native int LUNQCLI_RsGetRowNum(int handle);
    public static native int LUNQCLI_RsGetTableRowNum(int handle, int table);
    public static native int LUNQCLI_RsGetTableColNum(int handle, int table);
    public static native String LUNQCLI_RsGetCursorName(int handle, int length);
    public static native String LUNQCLI_SQLGetCursorName(int handle, int length);
    public static native int LUNQCLI_RsClose(int handle);
}
