// Properties of dynamic objects, by name.
class Dynamics {
    static function main() {
        var o:Dynamic = {a: 0, b: 1};
        for (i in 0...3000000) {
            o.a = o.a + o.b;
            o.b = i & 3;
        }
        Out.line(o.a);
    }
}
