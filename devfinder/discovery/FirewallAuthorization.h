#pragma once
// Adds this program to the firewall's authorized applications under the
// given name, unless an enabled entry for its path exists. Every failure
// is ignored: the search simply works or not, as the firewall decides.
#include <string>

void AuthorizeInFirewall(const std::string& applicationName);
