#pragma once
// Cuts in the serialized extract that never reach past the vehicle record
// they start in. An element written empty serializes as "<NAME/>", so a cut
// from "<NAME>" would otherwise run on into the next record's element and
// swallow the records between.
#include <string>
#include <utility>
#include <vector>

namespace tarvelon {

// Removes every stretch from `start` through the first `end` after it, when
// that end lies before the next "</DataVO>" (or there is none); a start
// without such an end is left alone.
std::string CutWithinRecords(std::string text, const std::string& start, const std::string& end);

// Removes every element of that name, with its content, and its empty form
// "<name/>" too: the elements removed this way are ones the partners get none of.
std::string RemoveElement(std::string text, const std::string& name);

// RemoveElement for each name in turn, done in one pass over the text where
// that gives the same: no element removed follows an unclosed "<" or holds
// a tag of a name of the list but its own. Otherwise it is done name by name.
std::string RemoveElements(std::string text, const std::vector<std::string>& names);

// ReplaceAll (case ignored, or exact with `ignoreCase` false) of each tag in
// turn by what follows it, in one pass. Each tag is "<", then neither "<" nor
// ">", then ">"; what replaces it is nothing or such a tag, and none the tag
// of another. The one pass gives the same where nothing it cuts follows an
// unclosed "<"; otherwise the replacements are made in turn.
std::string ReplaceTags(std::string text, const std::vector<std::pair<std::string, std::string>>& replacements,
                        bool ignoreCase = true);

// Removes the run of elements from "<first>" (or, for an empty element,
// "<first/>") through the end of element `last` in the same record, that end
// being "</last>" or, for an empty element, "<last/>".
std::string CutElementRun(std::string text, const std::string& first, const std::string& last);

// The photo slots IDPHOTO1 … IDPHOTOn of each record become one PHOTOS
// element holding a PHOTO per slot, as the record's last child. Records
// without photos stay as they are.
std::string WrapPhotoSlots(const std::string& text, int slots);

// `<?xml version="1.0" encoding="ISO-8859-15" ?>` in place of the plain
// declaration, or in front of a document that has none.
std::string WithIsoDeclaration(std::string text);

// Removes every section element of that name with its content, and its
// empty form ("<name …/>") as well, so that no empty section is left behind.
std::string RemoveSection(std::string text, const std::string& name);

// The start tags of the section `name` become `open`, its end tags `close`,
// and its empty form `open` + `close`: the section is renamed (or unwrapped,
// with empty texts) and stays well-formed when it holds no record.
std::string ReplaceSectionTags(std::string text, const std::string& name, const std::string& open,
                               const std::string& close);

// In each record, the slot elements slotName1 … slotName<slots> (any case,
// either form) become one list element in place of the first of them,
// holding an item per filled slot in slot order; a record whose slots are
// all empty gets an empty list. Records without slot elements stay as they are.
std::string GatherSlots(const std::string& text, const std::string& slotName, int slots, const std::string& listName,
                        const std::string& itemName);

}  // namespace tarvelon
