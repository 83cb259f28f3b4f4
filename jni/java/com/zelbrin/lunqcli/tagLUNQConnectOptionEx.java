// A full server-list entry; maps to lunqcli's 559-byte record: the fields of tagLUNQConnectOption
// plus a proxy (128 characters) and an SSL setting (256 characters).
package com.zelbrin.lunqcli;

public class tagLUNQConnectOptionEx {
    public String szServerName;
    public int nProtocal;
    public String szAddress;
    public int nPort;
    public String szSendQName;
    public String szReceiveQName;
    public String szReserved;
    public String szProxy;
    public String szSSL;
}
