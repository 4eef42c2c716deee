// Method calls on a sealed class.
class Counter {
    var n:Int = 0;
    public function new() {}
    public function add(x:Int):Int {
        n += x;
        return n;
    }
}

class Calls {
    static function main() {
        var c = new Counter();
        var r = 0;
        for (i in 0...5000000)
            r = c.add(i & 7);
        Out.line(r);
    }
}
