// Handles connected to the velt-emulator that the test fixture started (its socket and request
// queue arrive as the system properties velt.test.address and velt.test.queue).
package com.zelbrin.lunqcli;

import static org.junit.Assert.assertEquals;
import static org.junit.Assert.assertNotNull;

import java.util.concurrent.atomic.AtomicInteger;

final class EmulatorConnection {
    static final String SERVER = "emu";
    private static final AtomicInteger answerQueues = new AtomicInteger();

    private EmulatorConnection() {}

    /** True when the tests run against libLunqCliJNI (the newer build). */
    static boolean newerBuild() {
        return "LunqCliJNI".equals(System.getProperty(LUNQClient.LIBRARY_PROPERTY, "LunqCliJNI"));
    }

    static tagLUNQConnectOption entry() {
        String address = System.getProperty("velt.test.address");
        assertNotNull("run under run_with_emulator.sh", address);
        tagLUNQConnectOption o = new tagLUNQConnectOption();
        o.szServerName = SERVER;
        o.nProtocal = 2;
        o.szAddress = address;
        o.szSendQName = System.getProperty("velt.test.queue");
        o.szReceiveQName = "JAVA.ANS." + ProcessHandle.current().pid() + "." + answerQueues.incrementAndGet();
        o.szReserved = "";
        return o;
    }

    /** A new handle connected to the emulator; waits for it to come up. */
    static int connect() throws InterruptedException {
        IntHolder holder = new IntHolder();
        assertEquals(0, LUNQClient.LUNQCLI_Init(holder));
        int h = holder.x;
        assertEquals(0, LUNQClient.LUNQCLI_SetConnectOption(h, entry()));
        long deadline = System.currentTimeMillis() + 20000;
        int rc;
        while ((rc = LUNQClient.LUNQCLI_ConnectServer(h, SERVER, "", "")) != 0
               && System.currentTimeMillis() < deadline) {
            Thread.sleep(100);
        }
        assertEquals("connect to the emulator", 0, rc);
        return h;
    }

    static void close(int h) {
        LUNQClient.LUNQCLI_DisConnect(h);
        assertEquals(0, LUNQClient.LUNQCLI_Exit(h));
    }
}
