#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "tests/unit/xmlrpc/test_values.h"
#include "xmlrpc/core/value_io.h"

namespace {

TEST(Value, KindCodesAreFixed) {
    const std::vector<std::pair<ValueKind, int>> codes = {
        {ValueKind::Undefined, 0}, {ValueKind::Boolean, 1}, {ValueKind::Int, 2},
        {ValueKind::Double, 3},    {ValueKind::String, 4},  {ValueKind::DateTime, 5},
        {ValueKind::Base64, 6},    {ValueKind::Array, 7},   {ValueKind::Struct, 8},
        {ValueKind::Nil, 9}};
    for (const auto& [kind, code] : codes) {
        EXPECT_EQ(static_cast<int>(kind), code);
    }
}

TEST(Value, DefaultIsUndefinedAndNeitherSizedNorWritable) {
    XmlRpcValue v;
    EXPECT_EQ(v.kind(), ValueKind::Undefined);
    EXPECT_FALSE(v.valid());
    EXPECT_EQ(raisedMessage([&] { v.size(); }), "type error");
    std::string out;
    EXPECT_EQ(raisedMessage([&] { writeValue(v, out); }), "Undefined XmlRpc value");
    EXPECT_EQ(out, "");
}

TEST(Value, StringValueTurnsUndefinedAndNilIntoEmptyString) {
    for (XmlRpcValue v : {XmlRpcValue(), Nil()}) {
        EXPECT_STREQ(v.stringValue(), "");
        EXPECT_EQ(v.kind(), ValueKind::String);
        EXPECT_EQ(v.size(), 0);
    }
}

TEST(Value, StringValueOfOtherKindsRaisesAndKeepsValue) {
    const std::vector<XmlRpcValue> values = {Bool(true),
                                             Int(42),
                                             Dbl(1.5),
                                             Time(2024, 2, 15, 8, 45, 30),
                                             Bytes("ab"),
                                             Arr({Int(1)}),
                                             Rec({{"a", Int(1)}})};
    for (XmlRpcValue v : values) {
        std::string before = describe(v);
        EXPECT_EQ(raisedMessage([&] { v.stringValue(); }), "type error") << before;
        EXPECT_EQ(describe(v), before);
    }
}

TEST(Value, SizeByKind) {
    const std::vector<std::pair<XmlRpcValue, int>> sized = {{Str("abc"), 3},
                                                            {Str(""), 0},
                                                            {Bytes(std::string("a\0b\xff", 4)), 4},
                                                            {Arr({Int(1), Int(2)}), 2},
                                                            {Rec({{"x", Nil()}}), 1}};
    for (const auto& [v, size] : sized) {
        EXPECT_EQ(v.size(), size) << describe(v);
    }
    const std::vector<XmlRpcValue> unsized = {
        XmlRpcValue(), Bool(false), Int(1), Dbl(2), Time(2024, 0, 1, 0, 0, 0), Nil()};
    for (const XmlRpcValue& v : unsized) {
        EXPECT_EQ(raisedMessage([&] { v.size(); }), "type error") << describe(v);
    }
}

TEST(Value, MemberMakesUndefinedAStruct) {
    XmlRpcValue v;
    XmlRpcValue& x = v.member("x");
    EXPECT_EQ(x.kind(), ValueKind::Undefined);
    EXPECT_EQ(v.kind(), ValueKind::Struct);
    EXPECT_EQ(v.size(), 1);
    v.member("x").setInt(3);
    EXPECT_EQ(describe(v), "{x=i:3}");
}

TEST(Value, MemberOfNonStructRaisesAndKeepsValue) {
    const std::vector<XmlRpcValue> values = {Nil(), Int(1), Str("s"), Arr({}), Bool(true)};
    for (XmlRpcValue v : values) {
        std::string before = describe(v);
        EXPECT_EQ(raisedMessage([&] { v.member("a"); }), "type error: expected a struct");
        EXPECT_EQ(describe(v), before);
    }
}

TEST(Value, ElementChecksKindAndRange) {
    XmlRpcValue undefined;
    EXPECT_EQ(raisedMessage([&] { undefined.element(0); }), "type error: expected an array");
    EXPECT_EQ(undefined.kind(), ValueKind::Undefined);
    XmlRpcValue empty = Arr({});
    EXPECT_EQ(raisedMessage([&] { empty.element(0); }), "range error: array index too large");
    XmlRpcValue two = Arr({Int(1), Int(2)});
    EXPECT_EQ(describe(two.element(1)), "i:2");
    EXPECT_EQ(raisedMessage([&] { two.element(2); }), "range error: array index too large");
    EXPECT_EQ(two.size(), 2);
}

TEST(Value, ArrayCapacityGrowsByPowersOfTwo) {
    XmlRpcValue v;
    v.setArray();
    EXPECT_EQ(v.capacity(), 0);
    const int expected[] = {1, 2, 4, 4, 8, 8, 8, 8, 16};
    for (int i = 0; i < 9; ++i) {
        v.append(Int(i));
        EXPECT_EQ(v.capacity(), expected[i]) << "after element " << i + 1;
        EXPECT_EQ(v.size(), i + 1);
    }
    EXPECT_EQ(describe(v), "[i:0,i:1,i:2,i:3,i:4,i:5,i:6,i:7,i:8]");
}

TEST(Value, ResizeFillsUndefinedAndNeverShrinks) {
    XmlRpcValue v = Arr({Int(1)});
    v.resize(5);
    EXPECT_EQ(v.capacity(), 8);
    EXPECT_EQ(describe(v), "[i:1,undef,undef,undef,undef]");
    v.resize(2);
    EXPECT_EQ(v.size(), 5);
}

TEST(Value, CopyCapacityIsSmallestPowerOfTwo) {
    XmlRpcValue five = Arr({Int(1), Int(2), Int(3), Int(4), Int(5)});
    XmlRpcValue copy(five);
    EXPECT_EQ(copy.capacity(), 8);
    EXPECT_EQ(describe(copy), describe(five));
    XmlRpcValue empty = Arr({});
    XmlRpcValue emptyCopy;
    emptyCopy = empty;
    EXPECT_EQ(emptyCopy.capacity(), 0);
    EXPECT_EQ(emptyCopy.size(), 0);
}

TEST(Value, CopiesAreDeep) {
    XmlRpcValue source = Rec(
        {{"list", Arr({Int(1), Str("a")})}, {"t", Time(2024, 1, 2, 3, 4, 5)}, {"b", Bytes("xy")}});
    XmlRpcValue copy = source;
    copy.member("list").element(0).setInt(99);
    copy.member("list").append(Nil());
    copy.member("t").setNil();
    copy.member("b").setString("changed");
    EXPECT_EQ(describe(source), "{b=b64\"xy\",list=[i:1,s\"a\"],t=t:2024-1-2 3:4:5}");
    EXPECT_EQ(describe(copy), "{b=s\"changed\",list=[i:99,s\"a\",nil],t=nil}");
}

TEST(Value, SelfAssignmentKeepsValue) {
    const std::vector<XmlRpcValue> values = {Str("abc"), Arr({Int(1), Str("x")}),
                                             Rec({{"a", Int(1)}}), Bytes("q")};
    for (XmlRpcValue v : values) {
        std::string before = describe(v);
        XmlRpcValue& alias = v;
        v = alias;
        EXPECT_EQ(describe(v), before);
    }
}

TEST(Value, AssigningBetweenContainerAndItsPartsIsSafe) {
    XmlRpcValue array = Arr({Str("first"), Int(2)});
    array = array.element(0);  // an element assigned over its own array
    EXPECT_EQ(describe(array), "s\"first\"");

    XmlRpcValue outer = Arr({Int(1)});
    outer.element(0) = outer;  // an array copied into its own element
    EXPECT_EQ(describe(outer), "[[i:1]]");

    XmlRpcValue record = Rec({{"a", Int(1)}});
    record.member("self") = record;
    // The member exists (Undefined) by the time the struct is copied into it.
    EXPECT_EQ(describe(record), "{a=i:1,self={a=i:1,self=undef}}");

    XmlRpcValue nested = Rec({{"inner", Rec({{"x", Str("y")}})}});
    nested = nested.member("inner");
    EXPECT_EQ(describe(nested), "{x=s\"y\"}");
}

TEST(Value, MoveLeavesSourceUndefined) {
    XmlRpcValue source = Arr({Str("a")});
    XmlRpcValue target = std::move(source);
    EXPECT_EQ(source.kind(), ValueKind::Undefined);  // NOLINT(bugprone-use-after-move)
    EXPECT_EQ(describe(target), "[s\"a\"]");
}

TEST(Value, MembersIterateInByteOrder) {
    // Capital letters before small ones, a prefix before its extensions, bytes unsigned.
    XmlRpcValue v;
    for (const char* name : {"\xe9t\xe9", "ab", "B", "a", "z", "", "a b"}) {
        v.member(name) = Str(name);
    }
    std::vector<std::string> order;
    for (const auto& m : v.members()) {
        order.push_back(m.first);
        EXPECT_STREQ(m.second.textValue(), m.first.c_str());
    }
    EXPECT_EQ(order, (std::vector<std::string>{"", "B", "a", "a b", "ab", "z", "\xe9t\xe9"}));
}

TEST(Value, SettersReplaceAndReadersCheckKind) {
    XmlRpcValue v = Arr({Str("x")});
    v.setDouble(2.5);
    EXPECT_EQ(v.doubleValue(), 2.5);
    EXPECT_EQ(raisedMessage([&] { v.intValue(); }), "type error");
    EXPECT_EQ(raisedMessage([&] { v.booleanValue(); }), "type error");
    EXPECT_EQ(raisedMessage([&] { v.base64Value(); }), "type error");
    EXPECT_EQ(raisedMessage([&] { v.dateTimeValue(); }), "type error");
    EXPECT_EQ(raisedMessage([&] { v.textValue(); }), "type error");
    EXPECT_EQ(raisedMessage([&] { v.members(); }), "type error: expected a struct");
    EXPECT_EQ(raisedMessage([&] { v.append(); }), "type error: expected an array");
    v.setString("text with\0hidden");
    EXPECT_EQ(v.size(), 9);
    v.setString(v.textValue() + 5);  // from its own buffer
    EXPECT_STREQ(v.textValue(), "with");
    v.clear();
    EXPECT_EQ(v.kind(), ValueKind::Undefined);
}

}  // namespace
