/* veltplugin_example: a transport plug-in that carries each whole request packet as one message
 * over rimqapi to the platform and joins the answer packets back into whole answer parts.
 *
 * Conventions:
 *  - Entry function VeltPluginExample_Table (tagVELTPluginOption.szEntryName); library
 *    libveltplugin_example.so. One context per initialise; contexts share nothing, so several may
 *    be used at once by different threads.
 *  - Connect text: "key=value" items separated by ";" (empty items allowed, no spaces trimmed,
 *    keys lower case, each at most once):
 *      address   required, at most 255 characters  the rimqapi address ("inproc", a host, a socket)
 *      port      0..65535, default 0                 TCP port of a Redis server
 *      protocol  0..2, default 1                     rimqapi protocol
 *      request   required, 1..32 characters          queue the request packets are put on
 *      answer    required, 1..32 characters          queue the answers come back on (reply-to)
 *      user, password  optional, at most 64 characters each, handed to RIMQ_Connect
 *    e.g. "address=inproc;port=0;protocol=1;request=REQ;answer=ANS".
 *  - Configuration text: "timeout=N", N seconds in 1..2147483 (default 120): the lifetime of a
 *    request (expiry N * 1000 ms) and the wait for each answer packet.
 *  - send puts the packet as one message (new message id, correlation id "0", reply-to the answer
 *    queue). receive takes the answer packets of that message id with correlation ids 0, 1, 2, ...
 *    and joins their texts up to a packet flagged last (1) or end of an answer part (2); the next
 *    receive continues with the next correlation id. The buffer returned is the last packet's
 *    header, its length field set to the joined length and its checksum recomputed, then the text.
 *  - Results: 0, a rimqapi reason code (2003, 2033, ... see rimqapi.h), or a code below.
 */
#ifndef VELT_VELTPLUGIN_EXAMPLE_H
#define VELT_VELTPLUGIN_EXAMPLE_H

#include "veltplugin.h"

#ifdef __cplusplus
extern "C" {
#endif

#define VELTPLUGIN_EXAMPLE_ENTRY "VeltPluginExample_Table"

#define VELTPLUGIN_EXAMPLE_ERR_NO_MEMORY 3001        /* a context or an answer could not be allocated */
#define VELTPLUGIN_EXAMPLE_ERR_CONNECT_TEXT 3002     /* connect text unreadable (see above) */
#define VELTPLUGIN_EXAMPLE_ERR_CONFIG_TEXT 3003      /* configuration text unreadable */
#define VELTPLUGIN_EXAMPLE_ERR_NOT_CONNECTED 3004    /* send or receive before a successful connect */
#define VELTPLUGIN_EXAMPLE_ERR_NOTHING_SENT 3005     /* receive without a request put before */
#define VELTPLUGIN_EXAMPLE_ERR_BAD_ARGUMENT 3006     /* null context or pointer, a request shorter
                                                        than a packet header (126 bytes) or whose
                                                        header's length field is not its text
                                                        length (texts above 99999 bytes) */
#define VELTPLUGIN_EXAMPLE_ERR_BAD_PACKET 3007       /* an answer packet shorter than its header or
                                                        than its header's length field says */
#define VELTPLUGIN_EXAMPLE_ERR_ANSWER_TOO_LARGE 3008 /* the joined part would pass 99999 text bytes,
                                                        the most a header's length field shows */
#define VELTPLUGIN_EXAMPLE_ERR_QUEUE 3009            /* rimqapi failed without a reason code */

/* The plug-in's table (static; its flags ask for no callbacks, so the client never writes it). */
VELTPLUGIN_EXPORT VELTPluginTable *VeltPluginExample_Table(void);

#ifdef __cplusplus
}
#endif

#endif /* VELT_VELTPLUGIN_EXAMPLE_H */
