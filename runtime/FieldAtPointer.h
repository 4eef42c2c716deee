#pragma once

namespace runtime {

class ContainerObject;
class EditTextObject;

// Where a press of the pointer (stage twips) lands for the focus: the topmost selectable
// text field whose box holds the point, unless a button or a clip acting as one takes
// the press first. Null for anywhere else.
EditTextObject* selectableFieldAt(ContainerObject& root, double x, double y);

// The topmost text field whose box holds the point, selectable or not.
EditTextObject* fieldAt(ContainerObject& root, double x, double y);

} // namespace runtime
