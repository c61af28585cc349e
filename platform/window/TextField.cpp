#include "platform/window/TextField.h"

#include "platform/window/WindowBackend.h"

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

bool NSTextField::insertText(const std::string& character)
{
  const std::string candidate = mValue + character;
  if (mFormatter && !mFormatter->isPartialStringValid(candidate))
  {
    ++mRefused;
    return false;
  }
  mValue = candidate;
  return true;
}

void NSTextField::deleteBackward()
{
  size_t n = mValue.size();
  while (n > 0 && (static_cast<unsigned char>(mValue[n - 1]) & 0xc0) == 0x80)
    --n; // continuation bytes of the last character
  if (n > 0) --n;
  mValue.resize(n);
}

void NSTextField::endEditing()
{
  retain();
  if (mDelegate) mDelegate->controlTextDidEndEditing(this);
  release();
}

void NSTextField::keyDown(NSEvent* event)
{
  const std::string& c = event->characters;
  if (event->keyCode == kVK_Return || event->keyCode == kVK_Tab || c == "\r" || c == "\n" ||
      c == "\t")
    endEditing();
  else if (event->keyCode == kVK_Delete || c == "\x7f" || c == "\b")
    deleteBackward();
  else if (!c.empty() && static_cast<unsigned char>(c[0]) >= 0x20)
    insertText(c);
}

void NSTextField::becameFirstResponder()
{
  GetWindowBackend()->textFieldBeganEditing(this);
}
