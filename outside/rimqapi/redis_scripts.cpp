// Lua texts of the Redis engine: claim-or-wait, put-or-hand-over, and leave-the-wait.
// Index and waiter lists are cleaned lazily at their heads, so each script costs O(1) in the
// queue depth; scanning a waiter list costs the number of getters waiting on that one key.
#include "redis_scripts.h"

namespace velt::rimq {
namespace {

// An inbox outlives any wait it serves; waiter lists outlive any waiter in them.
#define RIMQ_INBOX_MS 60000
#define RIMQ_WAITERS_MS 60000
#define RIMQ_LUA_STR2(x) #x
#define RIMQ_LUA_STR(x) RIMQ_LUA_STR2(x)

// Shared helpers: drop index entries whose message is gone; remove this connection's (and any
// expired) registrations from a waiter list.
#define RIMQ_LUA_HELPERS                                                               \
  "local function drop_dead(p, list)\n"                                               \
  "  while true do\n"                                                                  \
  "    local head = redis.call('LINDEX', list, 0)\n"                                   \
  "    if not head or redis.call('EXISTS', p .. 'm:' .. head) == 1 then return end\n"  \
  "    redis.call('LPOP', list)\n"                                                     \
  "  end\n"                                                                            \
  "end\n"                                                                              \
  "local function leave(p, list, me)\n"                                                \
  "  for _, w in ipairs(redis.call('LRANGE', list, 0, -1)) do\n"                       \
  "    local owner = redis.call('GET', p .. 'wt:' .. w)\n"                             \
  "    if not owner or owner == me then\n"                                             \
  "      redis.call('LREM', list, 1, w)\n"                                             \
  "      if owner then redis.call('DEL', p .. 'wt:' .. w) end\n"                       \
  "    end\n"                                                                          \
  "  end\n"                                                                            \
  "end\n"

// KEYS: index list, waiter list, inbox, counter.
// ARGV: prefix, waiter lifetime in ms (0 = do not wait), connection id, "1" = leave an earlier wait.
// Returns the message (no wait), nil (no wait, none there), 0 (the message is in the inbox) or the
// number of the new waiter.
const char kGet[] = RIMQ_LUA_HELPERS
    "local p, ttl, me = ARGV[1], tonumber(ARGV[2]), ARGV[3]\n"
    "if ARGV[4] == '1' then\n"
    "  leave(p, KEYS[2], me)\n"
    "  if redis.call('LLEN', KEYS[3]) > 0 then return 0 end\n"
    "end\n"
    "while true do\n"
    "  local n = redis.call('LPOP', KEYS[1])\n"
    "  if not n then break end\n"
    "  local h = p .. 'm:' .. n\n"
    "  local f = redis.call('HMGET', h, 'e', 'b', 'k1', 'k2', 'k3', 'k4')\n"
    "  if f[1] then\n"
    "    redis.call('DEL', h)\n"
    "    for i = 3, 6 do\n"
    "      if f[i] ~= KEYS[1] then drop_dead(p, f[i]) end\n"
    "    end\n"
    "    if ttl == 0 then return f[1] .. f[2] end\n"
    "    redis.call('RPUSH', KEYS[3], f[1] .. f[2])\n"
    "    redis.call('PEXPIRE', KEYS[3], " RIMQ_LUA_STR(RIMQ_INBOX_MS) ")\n"
    "    return 0\n"
    "  end\n"
    "end\n"
    "if ttl == 0 then return false end\n"
    "local w = redis.call('INCR', KEYS[4])\n"
    "redis.call('SET', p .. 'wt:' .. w, me, 'PX', ttl)\n"
    "redis.call('RPUSH', KEYS[2], w)\n"
    "redis.call('PEXPIRE', KEYS[2], " RIMQ_LUA_STR(RIMQ_WAITERS_MS) ")\n"
    "return w\n";

// KEYS: the four index lists (next, id, correlation, correlation + tag), their four waiter lists,
// the counter. ARGV: prefix, envelope, body, lifetime in ms (0 = none).
// Returns 1 when a waiter got the message, 2 when it was stored.
const char kPut[] = RIMQ_LUA_HELPERS
    "local p = ARGV[1]\n"
    "local best, bestList, bestOwner\n"
    "for i = 5, 8 do\n"
    "  while true do\n"
    "    local w = redis.call('LINDEX', KEYS[i], 0)\n"
    "    if not w then break end\n"
    "    local owner = redis.call('GET', p .. 'wt:' .. w)\n"
    "    if owner then\n"
    "      local order = tonumber(w)\n"
    "      if not best or order < best then best, bestList, bestOwner = order, i, owner end\n"
    "      break\n"
    "    end\n"
    "    redis.call('LPOP', KEYS[i])\n"
    "  end\n"
    "end\n"
    "if best then\n"
    "  redis.call('DEL', p .. 'wt:' .. best)\n"
    "  redis.call('LPOP', KEYS[bestList])\n"
    "  local inbox = p .. 'in:' .. bestOwner\n"
    "  redis.call('RPUSH', inbox, ARGV[2] .. ARGV[3])\n"
    "  redis.call('PEXPIRE', inbox, " RIMQ_LUA_STR(RIMQ_INBOX_MS) ")\n"
    "  return 1\n"
    "end\n"
    "local n = redis.call('INCR', KEYS[9])\n"
    "local h = p .. 'm:' .. n\n"
    "redis.call('HSET', h, 'e', ARGV[2], 'b', ARGV[3], 'k1', KEYS[1], 'k2', KEYS[2], 'k3', KEYS[3], 'k4', KEYS[4])\n"
    "local ttl = tonumber(ARGV[4])\n"
    "if ttl > 0 then redis.call('PEXPIRE', h, ttl) end\n"
    "for i = 1, 4 do\n"
    "  local len = redis.call('RPUSH', KEYS[i], n)\n"
    "  drop_dead(p, KEYS[i])\n"
    "  if ttl <= 0 then\n"
    "    redis.call('PERSIST', KEYS[i])\n"
    "  elseif len == 1 then\n"
    "    redis.call('PEXPIRE', KEYS[i], ttl)\n"
    "  else\n"
    "    local left = redis.call('PTTL', KEYS[i])\n"
    "    if left >= 0 and left < ttl then redis.call('PEXPIRE', KEYS[i], ttl) end\n"
    "  end\n"
    "end\n"
    "return 2\n";

// KEYS: waiter list, inbox. ARGV: prefix, connection id.
// Leaves the wait; returns a message handed over in the meantime (it matched: it is ours) or nil.
const char kDeregister[] = RIMQ_LUA_HELPERS
    "leave(ARGV[1], KEYS[1], ARGV[2])\n"
    "return redis.call('LPOP', KEYS[2])\n";

}  // namespace

const char* RedisScriptText(RedisScript script) {
  switch (script) {
    case RedisScript::kGet: return kGet;
    case RedisScript::kPut: return kPut;
    case RedisScript::kDeregister: return kDeregister;
  }
  return "";
}

}  // namespace velt::rimq
