// Java face of the authentication client: the native methods of libwardenjni.so. Every method
// returns "iRetCode:<result>," followed by warden's answer items.
package com.zelbrin.unifiedAuth;

public class AuthClientJni {
    static {
        System.loadLibrary("wardenjni");
    }

    public static native String UserLogin(String request, int handle);

    public static native String UserLogout(String request, int handle);

    public static native String CheckUserAuthInfo(String request, int handle);

    public static native String CheckUserTicket(String request);
}
