// An output argument of the client-interface methods: the bridge writes its result into x.
package com.zelbrin.lunqcli;

public class IntHolder {
    public int x;

    public IntHolder() {}

    public IntHolder(int x) {
        this.x = x;
    }
}
