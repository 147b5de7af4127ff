// The product's texts. The product name is not stored on its own: the backdrop
// title and the success box's caption take it as the first ProductNameLength
// characters of the success message.
#pragma once

constexpr const char SuccessMessage[] = "QV Tarnivole has been successfully installed.";
constexpr int ProductNameLength = 12;  // "QV Tarnivole"
constexpr const char VersionPrefix[] = "  V.";
constexpr const char VersionNumber[] = "2.21";
