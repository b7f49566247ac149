#include "ours_adapter.h"

namespace codecbench {

namespace {

void fill(XmlRpcValue& out, const Node& node) {
    switch (node.kind) {
        case Node::Kind::Boolean:
            out.setBoolean(node.boolean);
            break;
        case Node::Kind::Int:
            out.setInt(node.integer);
            break;
        case Node::Kind::Double:
            out.setDouble(node.real);
            break;
        case Node::Kind::String:
            out.setString(node.bytes);
            break;
        case Node::Kind::DateTime: {
            DateTime t;
            t.year = node.time.year;
            t.month = node.time.month - 1;
            t.day = node.time.day;
            t.hour = node.time.hour;
            t.minute = node.time.minute;
            t.second = node.time.second;
            out.setDateTime(t);
            break;
        }
        case Node::Kind::Base64:
            out.setBase64(node.bytes.data(), node.bytes.size());
            break;
        case Node::Kind::Array:
            out.setArray();
            for (const Node& e : node.elements)
                fill(out.append(), e);
            break;
        case Node::Kind::Struct:
            out.setStruct();
            for (const auto& m : node.members)
                fill(out.member(m.first), m.second);
            break;
        case Node::Kind::Nil:
            out.setNil();
            break;
    }
}

}  // namespace

XmlRpcValue toOurs(const Node& node) {
    XmlRpcValue v;
    fill(v, node);
    return v;
}

Node fromOurs(const XmlRpcValue& value) {
    Node n;
    switch (value.kind()) {
        case ValueKind::Undefined:
            throw XmlRpcException("undefined value in decoded tree");
        case ValueKind::Boolean:
            n.kind = Node::Kind::Boolean;
            n.boolean = value.booleanValue();
            break;
        case ValueKind::Int:
            n.kind = Node::Kind::Int;
            n.integer = value.intValue();
            break;
        case ValueKind::Double:
            n.kind = Node::Kind::Double;
            n.real = value.doubleValue();
            break;
        case ValueKind::String:
            n.kind = Node::Kind::String;
            n.bytes = value.textValue();
            break;
        case ValueKind::DateTime: {
            const DateTime& t = value.dateTimeValue();
            n.kind = Node::Kind::DateTime;
            n.time = {t.year, t.month + 1, t.day, t.hour, t.minute, t.second};
            break;
        }
        case ValueKind::Base64:
            n.kind = Node::Kind::Base64;
            n.bytes = value.base64Value();
            break;
        case ValueKind::Array:
            n.kind = Node::Kind::Array;
            for (int32_t i = 0; i < value.size(); ++i)
                n.elements.push_back(fromOurs(value.element(i)));
            break;
        case ValueKind::Struct:
            n.kind = Node::Kind::Struct;
            for (const auto& m : value.members())
                n.members.emplace_back(m.first, fromOurs(m.second));
            break;
        case ValueKind::Nil:
            n.kind = Node::Kind::Nil;
            break;
    }
    return n;
}

}  // namespace codecbench
