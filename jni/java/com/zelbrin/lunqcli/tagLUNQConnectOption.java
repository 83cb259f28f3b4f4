// One server-list entry; maps field by field to lunqcli's 173-byte connection record (texts of at
// most 32 characters).
package com.zelbrin.lunqcli;

public class tagLUNQConnectOption {
    public String szServerName;
    public int nProtocal;
    public String szAddress;
    public int nPort;
    public String szSendQName;
    public String szReceiveQName;
    public String szReserved;
}
