#pragma once
// Message-IDs of posted copies.

class QString;

// "<8.4.4@4.12>" hexadecimal digits from a new random UUID, 38 characters,
// with nothing of the user's host or domain in it. Every call gives a new one.
QString NewMessageId();
