// Options as Java objects (newer build only, libLunqCliJNI.so): server lists as arrays of
// tagLUNQConnectOption / tagLUNQConnectOptionEx, the current entry as one object, any other option
// as an Integer.
package com.zelbrin.lunqcli;

public class LUNQClient1 {
    static {
        System.loadLibrary("LunqCliJNI");
    }

    /** id 0: tagLUNQConnectOption[]; 12: tagLUNQConnectOptionEx[]; 7: tagLUNQConnectOption;
     *  13: tagLUNQConnectOptionEx; any other id: an Integer. */
    public static native int LUNQCLI_SetOption(int handle, int id, Object value);

    /** As LUNQCLI_SetOption; null when lunqcli fails. Lists hold the entries in use. */
    public static native Object LUNQCLI_GetOption(int handle, int id);
}
