// The Lua scripts of the Redis engine. Every key a script touches carries the queue's hash tag,
// so each script runs on one Cluster slot. Key layout under the prefix "rimq:{Q}:":
//   m:<n>                 stored message: hash e (envelope), b (body), k1..k4 (its index lists)
//   seq                   counter for message and waiter numbers
//   all, id:<m>:<c>, c:<c>, ct:<c>:<t>   index lists of message numbers (ids in hex)
//   w:<index list name>   waiter lists of waiter numbers, oldest first
//   wt:<n>                a live waiter: the connection id of its getter, expires with the wait
//   in:<connection id>    the getter's inbox; a claimed or handed message lands here
#pragma once

namespace velt::rimq {

enum class RedisScript { kGet = 0, kPut = 1, kDeregister = 2 };
constexpr int kRedisScriptCount = 3;

// Text of a script, ready for SCRIPT LOAD.
const char* RedisScriptText(RedisScript script);

}  // namespace velt::rimq
