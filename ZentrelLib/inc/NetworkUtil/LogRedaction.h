// Keeps credentials out of the log: provider URLs carry API keys and
// signatures in their query, and header lines may carry tokens.
#pragma once

#include <string>

namespace LogRedaction {

// True for parameter and header names that hold credentials (key, token,
// secret, password, signature, auth, in any case and position).
bool IsSecretName(const std::string& name);
// Replaces the value of every name=value pair with a secret name by "***";
// works on whole URLs and on free text that quotes one.
std::string RedactText(const std::string& text);
// "Name: value" with "***" for the value when the name is a secret one.
std::string RedactHeaderLine(const std::string& line);

}  // namespace LogRedaction
