#pragma once

#include <cstdint>
#include <string>

class IQDevice;

// One addressable parameter of a unit: an object id, optionally an array of elements. The
// program keeps one static object per kind of parameter; callers select the element before each
// read or write.
class UCodeObject {
 public:
  UCodeObject(int id, int count, bool isVolatile);
  virtual ~UCodeObject() = default;

  // Bytes one element takes in the store and at most on the wire.
  virtual int ElementSize() const = 0;
  // Bytes a reply must carry to make a whole value. The read refuses a shorter one, and a device
  // never keeps it in its store.
  virtual int MinReplyBytes() const { return 0; }
  // Whether a read makes the unit allocate something and answer with it, so that no two reads
  // ask the same and each one allocates.
  virtual bool ReadAllocates() const { return false; }
  // A false `isVolatile` keeps the flag as it was.
  virtual void SetId(int id, bool isVolatile);

  // Selects element `element`, clamped to the array, so an index past the end means the last.
  void SetElement(int element);
  int GetElement() const { return element_; }
  int GetCount() const { return count_; }
  bool IsArray() const { return count_ > 1; }
  bool IsVolatile() const { return volatile_; }
  int GetId() const { return id_; }

 private:
  int element_ = 0;
  int count_;
  bool volatile_;
  int id_;
};

class ByteUCodeObject : public UCodeObject {
 public:
  using UCodeObject::UCodeObject;
  int ElementSize() const override { return 1; }
  int MinReplyBytes() const override { return 1; }
  uint8_t Read(IQDevice& device, int timeoutMs = 0) const;
  void Write(IQDevice& device, uint8_t value, int timeoutMs = 0) const;
};

class BoolUCodeObject : public UCodeObject {
 public:
  using UCodeObject::UCodeObject;
  int ElementSize() const override { return 1; }
  int MinReplyBytes() const override { return 1; }
  bool Read(IQDevice& device, int timeoutMs = 0) const;
  void Write(IQDevice& device, bool value, int timeoutMs = 0) const;
};

// A byte that the unit hands out as it allocates (a new filter's slot).
class AllocatingByteUCodeObject : public ByteUCodeObject {
 public:
  using ByteUCodeObject::ByteUCodeObject;
  bool ReadAllocates() const override { return true; }
};

// Four bytes on the wire, most significant first.
class FourByteUCodeObject : public UCodeObject {
 public:
  using UCodeObject::UCodeObject;
  int ElementSize() const override { return 4; }
  int MinReplyBytes() const override { return 4; }

 protected:
  // Throws `NoData` for an empty reply and `ShortReply` for fewer than four bytes.
  uint32_t ReadBits(IQDevice& device) const;
  void WriteBits(IQDevice& device, uint32_t bits) const;
};

class LongIntUCodeObject : public FourByteUCodeObject {
 public:
  using FourByteUCodeObject::FourByteUCodeObject;
  uint32_t Read(IQDevice& device) const { return ReadBits(device); }
  void Write(IQDevice& device, uint32_t value) const { WriteBits(device, value); }
};

// The IEEE-754 single-precision bits as a four-byte value.
class FloatUCodeObject : public FourByteUCodeObject {
 public:
  using FourByteUCodeObject::FourByteUCodeObject;
  float Read(IQDevice& device) const;
  void Write(IQDevice& device, float value) const;
};

class StringUCodeObject : public UCodeObject {
 public:
  static constexpr int kDefaultElementSize = 15;

  StringUCodeObject(int id, int count, bool isVolatile, bool terminator,
                    int elementSize = kDefaultElementSize);
  int ElementSize() const override { return elementSize_; }

  // `length` > 0: at most that many characters; 0: the whole text. The text ends at its first zero.
  std::string Read(IQDevice& device, int length = 0) const;
  // `length` > 0: at most that many characters of `text`; 0: all of it. A text that does not fit
  // the element (with its terminating zero when sent) is refused with `ValueTooLong`.
  void Write(IQDevice& device, const std::string& text, int length = 0) const;

 private:
  bool terminator_;
  int elementSize_;
};
