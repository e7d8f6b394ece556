#include "missing_string_message.h"

namespace tolkara {

namespace {

const char *systemErrorText(LookupStatus status) {
  switch (status) {
  case LookupStatus::BlockMissing:
    return "The string table of the module has no block for this string.";
  case LookupStatus::NoTable:
    return "The module carries no string table.";
  case LookupStatus::Malformed:
    return "The string table of the module is damaged.";
  case LookupStatus::Found:
  case LookupStatus::EmptyString:
    break;
  }
  return "";
}

}  // namespace

std::string missingInModuleMessage(unsigned int id, const std::string &sourceFile) {
  return "Can not find string with ID=" + std::to_string(id) + " in the module:\n " + sourceFile +
         "\n It will load from main module.";
}

std::string missingEverywhereMessage(const std::string &firstMessage, unsigned int id,
                                     const std::string &mainFile) {
  return firstMessage + "\n\n" + "Can not find string with ID=" + std::to_string(id) +
         " in the main module:\n " + mainFile + "\n It will replase with empty string.";
}

std::string withSystemError(const std::string &message, LookupStatus mainLookup) {
  std::string reason = systemErrorText(mainLookup);
  return reason.empty() ? message : message + "\n\nSystem error: " + reason;
}

}  // namespace tolkara
