// A complete program on the Java client interface: connect to the platform, call a service with a
// value and a table, walk the answer, handle a failure, disconnect.
//   java -Djava.library.path=<SDK lib> -cp velt.jar:. LunqClientExample <address> <request queue>
// <address> is a Redis Unix socket (protocol 2) on which velt-emulator serves <request queue>.
import com.zelbrin.lunqcli.IntHolder;
import com.zelbrin.lunqcli.LUNQClient;
import com.zelbrin.lunqcli.tagLUNQConnectOption;

public class LunqClientExample {
    private static void check(String what, int rc, int h) {
        if (rc != 0) {
            throw new IllegalStateException(what + " failed: " + rc + " " + LUNQClient.LUNQCLI_GetErrorMsg(h));
        }
    }

    public static void main(String[] args) throws Exception {
        if (args.length != 2) {
            System.err.println("usage: LunqClientExample <socket path> <request queue>");
            System.exit(2);
        }
        IntHolder handle = new IntHolder();
        if (LUNQClient.LUNQCLI_Init(handle) != 0) {
            throw new IllegalStateException("no client handle");
        }
        int h = handle.x;
        try {
            tagLUNQConnectOption server = new tagLUNQConnectOption();
            server.szServerName = "platform";
            server.nProtocal = 2;                       // Unix socket
            server.szAddress = args[0];
            server.szSendQName = args[1];
            server.szReceiveQName = "EXAMPLE.ANSWERS." + ProcessHandle.current().pid();
            check("set server", LUNQClient.LUNQCLI_SetConnectOption(h, server), h);
            int rc = -1;
            for (int attempt = 0; attempt < 100 && rc != 0; attempt++) {   // the server may still be starting
                rc = LUNQClient.LUNQCLI_ConnectServer(h, "platform", "", "");
                if (rc != 0) {
                    Thread.sleep(100);
                }
            }
            check("connect", rc, h);

            // a request with one value and one table, answered back by the "echo" service
            check("begin", LUNQClient.LUNQCLI_BeginWrite(h), h);
            check("value", LUNQClient.LUNQCLI_SetValue(h, "ACCOUNT", "A-1001"), h);
            check("table", LUNQClient.LUNQCLI_RsCreate(h, "orders", 2, "code,qty"), h);
            String[][] orders = {{"600001", "100"}, {"600002", "250"}};
            for (String[] order : orders) {
                LUNQClient.LUNQCLI_RsAddRow(h);
                LUNQClient.LUNQCLI_RsSetCol(h, 1, order[0]);
                LUNQClient.LUNQCLI_RsSetCol(h, 2, order[1]);
                LUNQClient.LUNQCLI_RsSaveRow(h);
            }
            check("call", LUNQClient.LUNQCLI_CallProgram(h, "echo"), h);

            System.out.println("ACCOUNT = " + LUNQClient.LUNQCLI_GetValue(h, "ACCOUNT", 100));
            check("open", LUNQClient.LUNQCLI_RsOpen(h), h);
            while (LUNQClient.LUNQCLI_RsFetchRow(h) == 0) {
                System.out.println("order " + LUNQClient.LUNQCLI_RsGetColByName(h, "code") + " x "
                                   + LUNQClient.LUNQCLI_RsGetCol(h, 2));
            }
            LUNQClient.LUNQCLI_RsClose(h);

            // a failing service: the status, and the platform's code and message
            LUNQClient.LUNQCLI_BeginWrite(h);
            LUNQClient.LUNQCLI_SetValue(h, "CODE", "-17");
            LUNQClient.LUNQCLI_SetValue(h, "MSG", "no such account");
            int status = LUNQClient.LUNQCLI_CallProgram(h, "fail");
            System.out.println("fail: status " + status + ", code " + LUNQClient.LUNQCLI_GetErrorCode(h)
                               + ", message " + LUNQClient.LUNQCLI_GetErrorMsg(h));
            LUNQClient.LUNQCLI_DisConnect(h);
        } finally {
            LUNQClient.LUNQCLI_Exit(h);
        }
        System.out.println("closed");
    }
}
