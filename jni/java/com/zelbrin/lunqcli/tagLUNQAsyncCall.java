// The call-control object of the asynchronous calls and of publish/subscribe; the bridge copies it
// to lunqcli's call-control record and writes the fields each method returns back into it.
package com.zelbrin.lunqcli;

public class tagLUNQAsyncCall {
    public int nFlags;
    public String szId;      // at most 26 characters reach the record
    public String szMsgId;   // at most 32
    public String szCorrId;  // at most 32
    public int nExpiry;
    public int nPriority;
    public int tTimeStamp;   // low 32 bits of the record's time stamp
}
