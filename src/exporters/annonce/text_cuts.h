#pragma once
// Cuts in the serialized extract that never reach past the vehicle record
// they start in. An element written empty serializes as "<NAME/>", so a cut
// from "<NAME>" would otherwise run on into the next record's element and
// swallow the records between.
#include <string>

namespace tarvelon {

// Removes every stretch from `start` through the first `end` after it, when
// that end lies before the next "</DataVO>" (or there is none); a start
// without such an end is left alone.
std::string CutWithinRecords(const std::string& text, const std::string& start, const std::string& end);

// Removes every element of that name, with its content, and its empty form
// "<name/>" too: the elements removed this way are ones the partners get none of.
std::string RemoveElement(const std::string& text, const std::string& name);

// Removes the run of elements from the start of element `first` ("<first>",
// or "<first/>" when it is empty) through the end of element `last` in the
// same record, that end being "</last>" or, for an empty element, "<last/>".
std::string CutElementRun(const std::string& text, const std::string& first, const std::string& last);

// The photo slots IDPHOTO1 … IDPHOTOn of each record become one PHOTOS
// element holding a PHOTO per slot, as the record's last child. Records
// without photos stay as they are.
std::string WrapPhotoSlots(const std::string& text, int slots);


}  // namespace tarvelon
