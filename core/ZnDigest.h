#pragma once

#include <cstddef>
#include <string>

class QDateTime;

// HMAC-SHA1 of message keyed with key, written to out as 40 lower-case hex
// digits without a terminating NUL. Writes nothing when an argument is missing
// or the key is longer than 64 bytes: the server never hashes long keys down.
void hmacSha1Hex(const unsigned char *message, std::size_t messageLength, char *out, const unsigned char *key,
                 std::size_t keyLength);

// The same as text; empty where the form above writes nothing.
std::string hmacSha1Hex(const std::string &message, const std::string &key);

// True when the password can key the login digest: at most 64 bytes.
bool loginPasswordFits(const std::string &password);

// "yyyy-MM-dd hh:mm:ss" in local time, as the login carries it.
std::string loginTimeText(const QDateTime &time);

// "Name$<name>$PassWord$<password>$Time$<time>", at any length.
std::string loginDigestText(const std::string &name, const std::string &password, const std::string &time);

// The login body: {"Name","PassWord","Time"} with the digest in place of the
// password, written by Json::FastWriter (line feed at the end).
std::string loginBody(const std::string &name, const std::string &password, const std::string &time);
