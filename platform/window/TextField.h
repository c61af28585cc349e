// One-line text fields for typing a value over a view. Typing comes as key
// events to the field while it is the first responder: each character is
// offered to the field's formatter, which may refuse it, and goes in at the
// caret; the arrows, Home and End move the caret, Delete and forward delete
// remove around it; Return or Tab ends editing and tells the delegate, Escape
// cancels it.
//
// Threads: main thread only.
#pragma once

#include <string>

#include "platform/window/View.h"

// Filters what may be typed into a field.
class NSFormatter : public NSObject
{
public:
  // Whether the field may hold this text after the next keystroke.
  virtual bool isPartialStringValid(const std::string& partial) const
  {
    (void)partial;
    return true;
  }
  virtual std::string stringForObjectValue(const std::string& value) const { return value; }
};

class NSTextField;

class NSTextFieldDelegate
{
public:
  virtual ~NSTextFieldDelegate() = default;
  virtual void controlTextDidEndEditing(NSTextField* field) = 0;
  // Escape in the field: the typing is to be dropped. Nothing by default.
  virtual void controlTextDidCancelEditing(NSTextField* field) { (void)field; }
};

enum NSTextAlignment
{
  NSLeftTextAlignment = 0,
  NSRightTextAlignment = 1,
  NSCenterTextAlignment = 2,
};

enum NSLineBreakMode
{
  NSLineBreakByWordWrapping = 0,
  NSLineBreakByTruncatingTail = 4,
};

struct NSColor
{
  CGFloat red, green, blue, alpha;
  static NSColor colorWithCalibratedRed(CGFloat r, CGFloat g, CGFloat b, CGFloat a)
  {
    return NSColor{r, g, b, a};
  }
};

struct NSFont
{
  std::string name;
  CGFloat pointSize;
};

class NSTextField : public NSView
{
public:
  explicit NSTextField(NSRect frame) : NSView(frame) {}

  const std::string& stringValue() const { return mValue; }
  // Puts the caret at the end.
  void setStringValue(const std::string& value)
  {
    mValue = value;
    mCaret = value.size();
  }
  // Byte offset of the caret in the UTF-8 text, always at a character start.
  size_t caret() const { return mCaret; }
  void setCaret(size_t caret);
  // Retains the formatter (null removes it).
  void setFormatter(NSFormatter* formatter);
  NSFormatter* formatter() const { return mFormatter; }
  void setDelegate(NSTextFieldDelegate* delegate) { mDelegate = delegate; }
  NSTextFieldDelegate* delegate() const { return mDelegate; }

  void setFont(const NSFont& font) { mFont = font; }
  const NSFont& font() const { return mFont; }
  void setAlignment(NSTextAlignment alignment) { mAlignment = alignment; }
  NSTextAlignment alignment() const { return mAlignment; }
  void setTextColor(const NSColor& color) { mTextColor = color; }
  const NSColor& textColor() const { return mTextColor; }
  void setLineBreakMode(NSLineBreakMode mode) { mLineBreak = mode; }
  NSLineBreakMode lineBreakMode() const { return mLineBreak; }
  void setBordered(bool bordered) { mBordered = bordered; }
  bool isBordered() const { return mBordered; }
  void setFocusRingVisible(bool visible) { mFocusRing = visible; }
  bool focusRingVisible() const { return mFocusRing; }
  void setAllowsEditingTextAttributes(bool allows) { mRichText = allows; }
  bool allowsEditingTextAttributes() const { return mRichText; }

  // Typing one UTF-8 character at the caret: false (and the text unchanged)
  // when the formatter refuses the result.
  bool insertText(const std::string& character);
  // The character before the caret (Delete) or after it (forward delete).
  void deleteBackward();
  void deleteForward();
  void moveLeft();
  void moveRight();
  // Ends editing: the delegate hears of it.
  void endEditing();
  // Cancels editing: the delegate hears of it.
  void cancelEditing();
  // Keys of the typist: characters, Delete, forward delete, the arrows,
  // Home, End, Return, Tab and Escape.
  void keyDown(NSEvent* event) override;
  bool acceptsFirstResponder() const override { return true; }
  void becameFirstResponder() override;
  int refusedKeystrokes() const { return mRefused; }

  std::string description() const override { return "NSTextField"; }

protected:
  ~NSTextField() override;

private:
  std::string mValue;
  size_t mCaret = 0;
  NSFormatter* mFormatter = nullptr;
  NSTextFieldDelegate* mDelegate = nullptr;
  NSFont mFont = {"", 12};
  NSTextAlignment mAlignment = NSLeftTextAlignment;
  NSColor mTextColor = {0, 0, 0, 1};
  NSLineBreakMode mLineBreak = NSLineBreakByWordWrapping;
  bool mBordered = true, mFocusRing = true, mRichText = true;
  int mRefused = 0;
};
