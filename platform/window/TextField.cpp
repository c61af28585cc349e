#include "platform/window/TextField.h"

#include "platform/window/WindowBackend.h"

namespace
{
bool isContinuation(char c)
{
  return (static_cast<unsigned char>(c) & 0xc0) == 0x80;
}
} // namespace

NSTextField::~NSTextField()
{
  if (mFormatter) mFormatter->release();
}

void NSTextField::setFormatter(NSFormatter* formatter)
{
  if (formatter) formatter->retain();
  if (mFormatter) mFormatter->release();
  mFormatter = formatter;
}

void NSTextField::setCaret(size_t caret)
{
  if (caret > mValue.size()) caret = mValue.size();
  while (caret > 0 && caret < mValue.size() && isContinuation(mValue[caret]))
    --caret;
  mCaret = caret;
}

bool NSTextField::insertText(const std::string& character)
{
  std::string candidate = mValue;
  candidate.insert(mCaret, character);
  if (mFormatter && !mFormatter->isPartialStringValid(candidate))
  {
    ++mRefused;
    return false;
  }
  mValue = candidate;
  mCaret += character.size();
  return true;
}

void NSTextField::moveLeft()
{
  if (mCaret == 0) return;
  --mCaret;
  while (mCaret > 0 && isContinuation(mValue[mCaret]))
    --mCaret;
}

void NSTextField::moveRight()
{
  if (mCaret >= mValue.size()) return;
  ++mCaret;
  while (mCaret < mValue.size() && isContinuation(mValue[mCaret]))
    ++mCaret;
}

void NSTextField::deleteBackward()
{
  const size_t end = mCaret;
  moveLeft();
  mValue.erase(mCaret, end - mCaret);
}

void NSTextField::deleteForward()
{
  const size_t start = mCaret;
  moveRight();
  mValue.erase(start, mCaret - start);
  mCaret = start;
}

void NSTextField::endEditing()
{
  retain();
  if (mDelegate) mDelegate->controlTextDidEndEditing(this);
  release();
}

void NSTextField::cancelEditing()
{
  retain();
  if (mDelegate) mDelegate->controlTextDidCancelEditing(this);
  release();
}

void NSTextField::keyDown(NSEvent* event)
{
  const std::string& c = event->characters;
  switch (event->keyCode)
  {
  case kVK_LeftArrow:
    moveLeft();
    return;
  case kVK_RightArrow:
    moveRight();
    return;
  case kVK_Home:
    mCaret = 0;
    return;
  case kVK_End:
    mCaret = mValue.size();
    return;
  case kVK_ForwardDelete:
    deleteForward();
    return;
  case kVK_Escape:
    cancelEditing();
    return;
  default:
    break;
  }
  if (event->keyCode == kVK_Return || event->keyCode == kVK_Tab || c == "\r" || c == "\n" ||
      c == "\t")
    endEditing();
  else if (c == "\x1b")
    cancelEditing();
  else if (event->keyCode == kVK_Delete || c == "\x7f" || c == "\b")
    deleteBackward();
  else if (!c.empty() && static_cast<unsigned char>(c[0]) >= 0x20)
    insertText(c);
}

void NSTextField::becameFirstResponder()
{
  GetWindowBackend()->textFieldBeganEditing(this);
}
