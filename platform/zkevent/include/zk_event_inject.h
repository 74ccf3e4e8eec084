#pragma once

#include <glib.h>

G_BEGIN_DECLS

// Host-only test hook of the event stand-in (the camera's event system has
// no such call): sends one event to the subscribers of the process that
// subscribed under the same platform root. The event is a JSON object
//   {"time_us":T,"keys":[{"key":S,"namespace":S|null,"type":"int"|"bool"|"string","value":V},...]}
// with T the wall-clock time in microseconds (absent: now). It travels as one
// datagram over the Unix socket $CAMLET_ROOT/var/run/camlet/events.sock.
gboolean zk_event_inject(const char* event_json, GError** error);

G_END_DECLS
