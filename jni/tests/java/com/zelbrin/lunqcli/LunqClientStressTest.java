// 10,000 calls with large result sets from four threads, each on its own handle, every cell
// checked; run under -Xcheck:jni, so a leaked local reference or a JNI call made with an exception
// pending shows as a warning and fails the test.
package com.zelbrin.lunqcli;

import static org.junit.Assert.assertEquals;

import java.util.ArrayList;
import java.util.List;
import java.util.concurrent.ExecutorService;
import java.util.concurrent.Executors;
import java.util.concurrent.Future;
import org.junit.Test;

public class LunqClientStressTest {
    private static final int THREADS = 4;
    private static final int CALLS_PER_THREAD = 2500;
    private static final int ROWS = 60;
    private static final int COLS = 5;

    private static String expectedCell(int row, int col) {
        StringBuilder s = new StringBuilder("r" + row + "c" + col);
        while (s.length() < 12) {
            s.append('x');
        }
        return s.toString();
    }

    private static Void run() throws Exception {
        int h = EmulatorConnection.connect();
        try {
            for (int call = 0; call < CALLS_PER_THREAD; call++) {
                assertEquals(0, LUNQClient.LUNQCLI_BeginWrite(h));
                assertEquals(0, LUNQClient.LUNQCLI_SetValue(h, "ROWS", Integer.toString(ROWS)));
                assertEquals(0, LUNQClient.LUNQCLI_SetValue(h, "COLS", Integer.toString(COLS)));
                assertEquals(0, LUNQClient.LUNQCLI_SetValue(h, "CELLLEN", "12"));
                assertEquals(0, LUNQClient.LUNQCLI_CallProgram(h, "rows"));
                assertEquals(0, LUNQClient.LUNQCLI_RsOpen(h));
                int rows = 0;
                while (LUNQClient.LUNQCLI_RsFetchRow(h) == 0) {
                    rows++;
                    for (int c = 1; c <= COLS; c++) {
                        assertEquals(expectedCell(rows, c), LUNQClient.LUNQCLI_RsGetCol(h, c));
                    }
                    assertEquals(expectedCell(rows, COLS), LUNQClient.LUNQCLI_RsGetColByName(h, "c" + COLS));
                }
                assertEquals(ROWS, rows);
                assertEquals(0, LUNQClient.LUNQCLI_RsClose(h));
            }
        } finally {
            EmulatorConnection.close(h);
        }
        return null;
    }

    @Test
    public void fourThreadsOnTheirOwnHandles() throws Exception {
        ExecutorService pool = Executors.newFixedThreadPool(THREADS);
        try {
            List<Future<Void>> done = new ArrayList<>();
            for (int t = 0; t < THREADS; t++) {
                done.add(pool.submit(LunqClientStressTest::run));
            }
            for (Future<Void> f : done) {
                f.get();   // rethrows a thread's failure
            }
        } finally {
            pool.shutdownNow();
        }
    }
}
